// Long operations and plans as the client reads them: the Progress column's text and bar, one
// statement per refresh only while the column or the sheet's page is shown, and the plan under
// the statement on the SQL page.

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "DbTestSupport.h"
#include "ExecutionPlan.h"
#include "GuiTestSupport.h"
#include "LongOperations.h"
#include "SessionStatements.h"
#include "dialogs/PropsLongOpsPage.h"
#include "dialogs/PropsSheet.h"
#include "sessionview/NimbraView.h"

namespace {
using Id = SessionColumnId;
constexpr std::int64_t kNow = 1709647629;
const std::string kScan =
    "SELECT /*+ FULL(l) */ l.order_id, SUM(l.quantity * l.unit_price) total FROM order_lines l "
    "GROUP BY l.order_id";

// ALICE 12/345 scans, 47 of 100 blocks after 150 seconds; BOB 20/7 runs nothing and his scan is
// done; CAROL 30/9 has one of unknown size.
sim::ScenarioSpec working() {
    auto alice = userSession(12, "ALICE", 345);
    alice.status = "ACTIVE";
    alice.sqlText = kScan;
    sim::ScenarioSpec setup;
    setup.sessions = {alice, userSession(20, "BOB", 7), userSession(30, "CAROL", 9)};
    setup.longOps = {{12, 1, "Table Scan", "SCOTT.BIG", "", "Blocks", 47, 100, 10, kNow - 150},
                     {20, 1, "Table Scan", "HR.EMP", "", "Blocks", 9, 9, 1, kNow - 60},
                     {30, 1, "Gather Table Statistics", "", "", "Blocks", 0, 0, 0, kNow}};
    return setup;
}

int sent(const std::string& statement) {
    return countOf(sim::Controls::instance().statementLog(), statement);
}

// Runs Properties on row; look sees the sheet, which is closed afterwards.
void openProperties(CNimbraView& view, int row, const std::function<void(CPropsSheet&)>& look) {
    view.selectionModel()->select(view.model()->index(row, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QTimer::singleShot(0, [&] {
        if (auto* sheet = qobject_cast<CPropsSheet*>(QApplication::activeModalWidget())) {
            look(*sheet);
            sheet->reject();
        }
    });
    view.OnSessionProperties();
}

void showPage(CPropsSheet& sheet, int page) {
    sheet.findChild<QTabWidget*>("tabs")->setCurrentIndex(page);
}
}  // namespace

class tst_LongOps : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsLocation> m_settings;

private slots:
    void init() {
        m_settings = std::make_unique<SettingsLocation>();
        resetDatabase();
        sim::Controls::instance().setFixedTime(kNow);
        sim::Controls::instance().defineScenario("working", working());
        AnswerUnexpectedBoxes();
    }
    void cleanup() { VerifyNothingLeftBehind(); }

    void progressText_data() {
        QTest::addColumn<long long>("sofar");
        QTest::addColumn<long long>("totalwork");
        QTest::addColumn<QString>("remaining");
        QTest::addColumn<QString>("text");
        QTest::newRow("minutes, rounded up") << 47LL << 100LL << "121"
                                             << "47% - 3 min left";
        QTest::newRow("one minute") << 1LL << 3LL << "60"
                                    << "33% - 1 min left";
        QTest::newRow("under a minute") << 9LL << 10LL << "59"
                                        << "90% - under 1 min left";
        QTest::newRow("hours") << 5LL << 100LL << "3900"
                               << "5% - 1 h 05 min left";
        QTest::newRow("time not known yet") << 0LL << 100LL << ""
                                            << "0%";
        QTest::newRow("almost done is not 100%") << 999LL << 1000LL << "0"
                                                 << "99% - under 1 min left";
        QTest::newRow("finished") << 100LL << 100LL << "0"
                                  << "";
        QTest::newRow("totalwork 0") << 0LL << 0LL << ""
                                     << "";
    }
    void progressText() {
        QFETCH(long long, sofar);
        QFETCH(long long, totalwork);
        QFETCH(QString, remaining);
        QFETCH(QString, text);
        LongOperation op;
        op.sofar = sofar;
        op.totalwork = totalwork;
        op.remaining = remaining.toStdString();
        QCOMPARE(QString::fromStdString(ProgressText(op)), text);
        if (!text.isEmpty())
            QCOMPARE(ProgressPercent(ProgressText(op)),
                     std::optional<int>(int(sofar * 100 / totalwork)));
    }

    // The newest unfinished one of the very session: SID alone would take an earlier session's.
    void currentOperation() {
        const std::vector<LongOperation> ops = {
            {"12", "1", "Old session", "", 1, 9, "", "", "2024-03-05 14:07:09", "", "", ""},
            {"12", "345", "Finished", "", 9, 9, "", "", "2024-03-05 14:07:08", "", "", ""},
            {"12", "345", "Newest", "", 1, 9, "", "", "2024-03-05 14:07:07", "", "", ""},
            {"12", "345", "Older", "", 1, 9, "", "", "2024-03-05 14:06:00", "", "", ""}};
        QCOMPARE(QString::fromStdString(CurrentOperation(ops, "12", "345")->operation),
                 QString("Newest"));
        QVERIFY(!CurrentOperation(ops, "12", "7"));
        QCOMPARE(OperationsOf(ops, "12", "345").size(), std::size_t(3));
    }

    // Nothing more is sent until the column is chosen; then one statement a refresh, whose
    // unfinished operations of the listed sessions fill the column, and a finished one goes.
    void progressColumnReadOnlyWhenShown() {
        QVERIFY(LogOn("system", "manager", "sim:working"));
        CNimbraView view;
        view.OnRefresh();
        QCOMPARE(sent(LongOperationsStatement()), 0);
        view.ShowColumns({Id::Username, Id::Sid, Id::Progress});
        QCOMPARE(sent(LongOperationsStatement()), 1);
        const auto progress = [&](int row) { return view.GetItemText(row, int(Id::Progress)); };
        QCOMPARE(QStringList({progress(0), progress(1), progress(2)}),
                 QStringList({"47% - 3 min left", "", ""}));
        QCOMPARE(view.model()->index(0, int(Id::Progress)).data(CListModel::ProgressRole),
                 QVariant(0.47));
        QVERIFY(
            !view.model()->index(1, int(Id::Progress)).data(CListModel::ProgressRole).isValid());
        sim::Controls::instance().advanceClock(5);
        view.OnRefresh();
        QCOMPARE(sent(LongOperationsStatement()), 2);
        QCOMPARE(progress(0), QString("57% - 2 min left"));
        sim::Controls::instance().advanceClock(60);
        view.OnRefresh();
        QCOMPARE(progress(0), QString());
        view.ShowColumns({Id::Username, Id::Sid});
        view.OnRefresh();
        QCOMPARE(sent(LongOperationsStatement()), 3);
    }

    // A user who may not read the view is told once; the column is then left out.
    void progressRefused() {
        QVERIFY(LogOn("monitor", "monitor", "sim:working"));
        MessageRecorder recorder;
        CNimbraView view;
        view.ShowColumns({Id::Username, Id::Progress});
        view.OnRefresh();
        QCOMPARE(recorder.messages,
                 QStringList(QString::fromStdString(LongOperationsRefusedText())));
        QCOMPARE(sent(LongOperationsStatement()), 1);
        QVERIFY(view.header()->isSectionHidden(int(Id::Progress)));
        QCOMPARE(view.model()->rowCount(), 3);
    }

    // The page reads with every refresh while it is shown, and not after the sheet has closed.
    void longOperationsPage() {
        QVERIFY(LogOn("system", "manager", "sim:working"));
        CNimbraView view;
        view.OnRefresh();
        openProperties(view, 0, [&](CPropsSheet& sheet) {
            QCOMPARE(sent(LongOperationsStatement()), 0);
            showPage(sheet, 2);
            QCOMPARE(sent(LongOperationsStatement()), 1);
            CPropsLongOpsPage& page = *sheet.LongOpsPage();
            QCOMPARE(page.RowCount(), 1);
            QCOMPARE(page.RowTexts(0),
                     QStringList({"Table Scan", "SCOTT.BIG", "47 of 100 Blocks", "0:02:30",
                                  "0:02:49", "Table Scan:  SCOTT.BIG: 47 out of 100 Blocks done"}));
            sim::Controls::instance().advanceClock(5);
            view.OnRefresh();
            QCOMPARE(page.RowTexts(0).at(2), QString("57 of 100 Blocks"));
            showPage(sheet, 0);
        });
        view.OnRefresh();
        QCOMPARE(sent(LongOperationsStatement()), 2);
        openProperties(view, 1, [&](CPropsSheet& sheet) {
            showPage(sheet, 2);
            QCOMPARE(sheet.LongOpsPage()->RowTexts(0).mid(0, 3),
                     QStringList({"Table Scan", "HR.EMP", "9 of 9 Blocks"}));
        });
        QCOMPARE(sent(LongOperationsStatement()), 3);
    }

    void planOnTheSqlPage_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("refusal");
        QTest::addColumn<int>("planStatements");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("running a statement") << 0 << 0 << 1 << "SQL_ID  %1, child number 0";
        QTest::newRow("no statement, no plan") << 1 << 0 << 0 << "";
        // A call failed as planned never reaches the instance's log.
        QTest::newRow("ORA-00942") << 0 << 942 << 0 << QString::fromStdString(PlanRefusedText());
        QTest::newRow("ORA-01031") << 0 << 1031 << 0 << QString::fromStdString(PlanRefusedText());
    }
    void planOnTheSqlPage() {
        QFETCH(int, row);
        QFETCH(int, refusal);
        QFETCH(int, planStatements);
        QFETCH(QString, firstLine);
        QVERIFY(LogOn("system", "manager", "sim:working"));
        CNimbraView view;
        view.OnRefresh();
        const auto sqlIds = [] {
            int n = 0;
            for (const std::string& s : sim::Controls::instance().statementLog())
                n += s.find("DBMS_XPLAN.DISPLAY_CURSOR") != std::string::npos;
            return n;
        };
        openProperties(view, row, [&](CPropsSheet& sheet) {
            QCOMPARE(sqlIds(), 0);
            if (refusal != 0)
                sim::Controls::instance().failCall(sim::Call::Exec, 1, refusal);
            showPage(sheet, 1);
            showPage(sheet, 0);
            showPage(sheet, 1);
            QCOMPARE(sqlIds(), planStatements);
            const auto* plan = sheet.findChild<QPlainTextEdit*>("planText");
            QCOMPARE(plan->isVisible(), !firstLine.isEmpty());
            const QFontMetrics metrics(plan->font());
            QCOMPARE(metrics.horizontalAdvance("iiii"), metrics.horizontalAdvance("MMMM"));
            QVERIFY(plan->textInteractionFlags() & Qt::TextSelectableByMouse);
            const QStringList lines = plan->toPlainText().split('\n');
            const std::string& asked = sim::Controls::instance().statementLog().back();
            const QString sqlId = QString::fromStdString(asked.substr(asked.find("('") + 2, 13));
            QCOMPARE(lines.first(), QString(firstLine).replace("%1", sqlId));
            if (refusal == 0 && row == 0)
                QVERIFY(
                    lines.contains("|   2 |   TABLE ACCESS FULL| ORDER_LINES | 1500K |   25M "
                                   "|  3699   (1)| 00:00:02 |"));
        });
        QVERIFY(IsLoggedOn());
    }

    // DISPLAY_CURSOR's own lines for a view its caller may not read stand for a refusal.
    void planLinesOfMissingRights() {
        QVERIFY(LogOn("monitor", "monitor", "sim:working"));
        const PlanText plan = ReadExecutionPlan("12", "345");
        QVERIFY(plan.refused);
        QVERIFY(plan.lines.empty());
        QCOMPARE(PlanStatement("0123456789abz", "0"),
                 std::string("SELECT plan_table_output FROM "
                             "TABLE(DBMS_XPLAN.DISPLAY_CURSOR('0123456789abz', 0, 'TYPICAL'))"));
        QCOMPARE(PlanStatement("0123456789ab'", "0"), std::string());
        QCOMPARE(PlanStatement("0123456789abz", "0 or 1"), std::string());
    }
};

QTEST_MAIN(tst_LongOps)
#include "tst_longops.moc"
