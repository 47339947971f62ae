// The session list behind its sort and filter: the commands act on the session shown, values
// sort by value, the filter's terms, copy and export of what is shown, chosen columns, a column
// the server lacks, and the layout kept between runs.

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QTemporaryDir>
#include <QtTest>

#include "DbTestSupport.h"
#include "EndSession.h"
#include "GuiTestSupport.h"
#include "LayoutSettings.h"
#include "SessionStatements.h"
#include "frame/MainFrame.h"
#include "sessionview/NimbraView.h"
#include "sessionview/SessionSortFilter.h"
#include "widgets/StatusText.h"

namespace {
using Id = SessionColumnId;

// SIDs 9, 10 and 100 sort as numbers; names differ in letter case; two share a user name.
sim::ScenarioSpec fourSessions() {
    sim::ScenarioSpec setup;
    auto add = [&setup](int sid, const char* user, const char* status, const char* machine) {
        sim::SessionSpec s = userSession(sid, user, sid + 1000);
        s.status = status;
        s.machine = machine;
        setup.sessions.push_back(s);
    };
    add(10, "alice", "INACTIVE", "k8s-worker-1");
    add(9, "BOB", "ACTIVE", "dbhost01");
    add(100, "Carol", "ACTIVE", "k8s-worker-2");
    add(42, "BOB", "INACTIVE", "laptop");
    return setup;
}

QStringList valuesOf(const CNimbraView& view, Id id) {
    QStringList values;
    for (int row = 0; row < view.model()->rowCount(); ++row) {
        values << view.GetItemText(row, int(id));
    }
    return values;
}

void select(CNimbraView& view, const QList<int>& rows) {
    view.selectionModel()->clearSelection();
    for (int row : rows) {
        view.selectionModel()->select(view.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

QStringList kills() {
    QStringList sent;
    for (const std::string& sql : sim::Controls::instance().statementLog()) {
        if (sql.rfind("Alter system kill session", 0) == 0) {
            sent << QString::fromStdString(sql);
        }
    }
    return sent;
}
}  // namespace

class tst_SessionList : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsLocation> m_settings;
    QStringList m_boxes;

    void listFour(CNimbraView& view) {
        sim::Controls::instance().defineScenario("four", fourSessions());
        QVERIFY(LogOn("system", "manager", "sim:four"));
        view.OnRefresh();
        sim::Controls::instance().clearStatementLog();
    }

private slots:
    void init() {
        m_settings = std::make_unique<SettingsLocation>();
        resetDatabase();
        sim::Controls::instance().setFixedTime(1709650000);
        m_boxes.clear();
        SetMessageBoxHandler([this](const QString& text, MsgButtons, MsgIcon) {
            m_boxes << text;
            return IDYES;
        });
    }
    void cleanup() { VerifyNothingLeftBehind(); }

    // The model alone and under the proxy, through refreshes, sorts and filters.
    void modelsKeepTheirContract() {
        CNimbraView view;
        QAbstractItemModelTester sessions(view.Sessions());
        QAbstractItemModelTester shown(view.model());
        listFour(view);
        view.sortByColumn(int(Id::Sid), Qt::DescendingOrder);
        view.SetFilter(SessionFilter("k8s"));
        sim::Controls::instance().defineScenario("four", fourSessions());
        view.OnRefresh();
        view.SetHideIdle(true);
        view.UseServerOrder();
        view.SetFilter(SessionFilter());
        QCOMPARE(view.model()->rowCount(), 2);
    }

    // Sorted and filtered, the commands name and act on the session the user sees.
    void commandsActOnTheSessionShown_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QStringList>("killed");
        QTest::newRow("top row") << "" << QList<int>{0}
                                 << QStringList{"Alter system kill session '100, 1100'"};
        QTest::newRow("two rows, from the top")
            << "" << QList<int>{1, 3}
            << QStringList{"Alter system kill session '42, 1042'",
                           "Alter system kill session '9, 1009'"};
        QTest::newRow("filtered") << "-carol" << QList<int>{0}
                                  << QStringList{"Alter system kill session '42, 1042'"};
    }
    void commandsActOnTheSessionShown() {
        QFETCH(QString, filter);
        QFETCH(QList<int>, rows);
        QFETCH(QStringList, killed);
        CNimbraView view;
        listFour(view);
        view.sortByColumn(int(Id::Sid), Qt::DescendingOrder);
        view.SetFilter(SessionFilter(filter));
        select(view, rows);
        view.OnKillSession();
        QCOMPARE(kills(), killed);
        const QString first = m_boxes.value(0).section('\n', 2, 2);
        const QString sid = killed[0].section('\'', 1).section(',', 0, 0);
        QVERIFY2(first.contains("(SID " + sid + ","), qPrintable(m_boxes.value(0)));
    }

    // After a refresh that reorders the rows under the sort, the selection and the commands
    // still name the session that was picked.
    void refreshThatReordersKeepsThePick() {
        CNimbraView view;
        listFour(view);
        view.sortByColumn(int(Id::Status), Qt::AscendingOrder);
        view.SetFilter(SessionFilter("-laptop"));
        select(view, {0});
        const QString picked = view.GetItemText(0, int(Id::Sid));
        // The picked session turns INACTIVE and moves below the active ones.
        auto setup = fourSessions();
        for (sim::SessionSpec& s : setup.sessions) {
            s.status = std::to_string(s.sid) == picked.toStdString() ? "INACTIVE" : "ACTIVE";
        }
        sim::Controls::instance().defineScenario("four", setup);
        LogOff();
        QVERIFY(LogOn("system", "manager", "sim:four"));
        view.OnRefresh();
        QCOMPARE(view.SelectedItems().size(), std::size_t(1));
        QCOMPARE(view.GetItemText(view.SelectedItems()[0], int(Id::Sid)), picked);
        QVERIFY(m_boxes.isEmpty());
        view.OnKillSession();
        QCOMPARE(kills(), QStringList{QStringLiteral("Alter system kill session '%1, %2'")
                                          .arg(picked)
                                          .arg(picked.toInt() + 1000)});
    }

    void sortsByValue_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("descending");
        QTest::addColumn<QStringList>("sids");
        QTest::newRow("SID: 9 before 10")
            << int(Id::Sid) << false << QStringList{"9", "10", "42", "100"};
        QTest::newRow("SID descending")
            << int(Id::Sid) << true << QStringList{"100", "42", "10", "9"};
        // alice, BOB, BOB, Carol: letter case does not count; the two BOBs by SID.
        QTest::newRow("user, ties by SID")
            << int(Id::Username) << false << QStringList{"10", "9", "42", "100"};
        QTest::newRow("user descending, ties still by SID")
            << int(Id::Username) << true << QStringList{"100", "9", "42", "10"};
        QTest::newRow("status, ties by user then SID")
            << int(Id::Status) << false << QStringList{"9", "100", "10", "42"};
    }
    void sortsByValue() {
        QFETCH(int, column);
        QFETCH(bool, descending);
        QFETCH(QStringList, sids);
        CNimbraView view;
        listFour(view);
        view.sortByColumn(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        QCOMPARE(valuesOf(view, Id::Sid), sids);
        // The order holds through a refresh; server order is the statement's again.
        view.OnRefresh();
        QCOMPARE(valuesOf(view, Id::Sid), sids);
        view.UseServerOrder();
        QCOMPARE(valuesOf(view, Id::Username), (QStringList{"BOB", "BOB", "Carol", "alice"}));
    }

    void filters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("hideIdle");
        QTest::addColumn<QStringList>("sids");
        QTest::addColumn<QString>("count");
        const QString all = "4 sessions";
        QTest::newRow("none") << "" << false << QStringList{"9", "42", "100", "10"} << all;
        QTest::newRow("any column, any case")
            << "K8S" << false << QStringList{"100", "10"} << "2 of 4 sessions";
        QTest::newRow("one column, from a word's start")
            << "status:active" << false << QStringList{"9", "100"} << "2 of 4 sessions";
        QTest::newRow("a later word")
            << "machine:worker" << false << QStringList{"100", "10"} << "2 of 4 sessions";
        QTest::newRow("left out") << "-bob" << false << QStringList{"100", "10"}
                                  << "2 of 4 sessions";
        QTest::newRow("all terms")
            << "machine:k8s -carol" << false << QStringList{"10"} << "1 of 4 sessions";
        QTest::newRow("quoted") << "program:\"sqlplus@client (TNS\"" << false
                                << QStringList{"9", "42", "100", "10"} << "4 of 4 sessions";
        QTest::newRow("unknown column is text")
            << "colour:red" << false << QStringList{} << "0 of 4 sessions";
        QTest::newRow("a colon only") << ":" << false << QStringList{} << "0 of 4 sessions";
        QTest::newRow("idle hidden") << "" << true << QStringList{"9", "100"} << "2 of 4 sessions";
    }
    void filters() {
        QFETCH(QString, filter);
        QFETCH(bool, hideIdle);
        QFETCH(QStringList, sids);
        QFETCH(QString, count);
        CMainFrame frame;
        CNimbraView& view = *frame.View();
        listFour(view);
        view.SetFilter(SessionFilter(filter));
        view.SetHideIdle(hideIdle);
        QCOMPARE(valuesOf(view, Id::Sid), sids);
        QCOMPARE(SessionPaneText(&frame), count);
    }

    // Copy puts the selected rows on the clipboard, export writes every shown row: in the
    // shown columns and their order, with a heading line.
    void copyAndExportWhatIsShown() {
        CNimbraView view;
        listFour(view);
        view.ShowColumns({Id::Sid, Id::Username, Id::Machine});
        view.sortByColumn(int(Id::Sid), Qt::AscendingOrder);
        select(view, {1, 0});
        view.OnEditCopy();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString("Sid\tUsername\tMachine\n9\tBOB\tdbhost01\n10\talice\tk8s-worker-1\n"));

        QTemporaryDir dir;
        QString offered;
        const QString file = dir.filePath("out.csv");
        CNimbraView::SetExportFileChooser([&](QWidget*, const QString& start) {
            offered = start;
            return file;
        });
        view.SetFilter(SessionFilter("k8s"));
        view.OnFileExport();
        QVERIFY(offered.endsWith("nimbra-sessions.csv"));
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QByteArray("Sid,Username,Machine\r\n10,alice,k8s-worker-1\r\n"
                                               "100,Carol,k8s-worker-2\r\n"));

        // A folder that does not exist: said why, and no file.
        const QString nowhere = dir.filePath("no/such/folder/out.csv");
        CNimbraView::SetExportFileChooser([&](QWidget*, const QString&) { return nowhere; });
        view.OnFileExport();
        CNimbraView::SetExportFileChooser({});
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes[0].startsWith("Could not export to \"" + nowhere + "\": "),
                 qPrintable(m_boxes[0]));
        QVERIFY(!QFile::exists(nowhere));
    }

    // The statement gains exactly the chosen columns; with none chosen it is the seven's.
    void chosenColumnsAreRead() {
        CNimbraView view;
        listFour(view);
        QCOMPARE(sim::Controls::instance().statementLog(), std::vector<std::string>{});
        view.ShowColumns({Id::Username, Id::Event, Id::Sid, Id::LastCallEt});
        const std::vector<std::string>& sent = sim::Controls::instance().statementLog();
        QCOMPARE(sent.back(),
                 SessionListStatement(false, ListColumns({Id::Event, Id::LastCallEt})));
        QVERIFY(
            sent.back().starts_with("SELECT username, sid, serial#, status, osuser, machine, "
                                    "program, event, last_call_et FROM "));
        QCOMPARE(view.GetItemText(0, int(Id::Event)), QString("SQL*Net message from client"));
        // In its status since it logged on, 2,371 seconds before the instance clock.
        QCOMPARE(view.GetItemText(0, int(Id::LastCallEt)), QString("0:39:31"));
    }

    // An older server without a chosen column: one message, the column left out, and no
    // message at the next refresh.
    void columnTheServerLacks() {
        auto setup = fourSessions();
        setup.release = {9, 2, 0, 8, 0};
        sim::Controls::instance().defineScenario("old", setup);
        QVERIFY(LogOn("system", "manager", "sim:old"));
        MessageRecorder recorder;
        CNimbraView view;
        view.ShowColumns({Id::Username, Id::Sid, Id::Event, Id::Module});
        QCOMPARE(recorder.messages.size(), 1);
        QCOMPARE(recorder.messages[0],
                 QString("The database has no such column in v$session (ORA-00904): Event.\n"
                         "It is left out of the list while Nimbra is connected to this "
                         "database."));
        QVERIFY(IsLoggedOn());
        QCOMPARE(view.model()->rowCount(), 4);
        view.OnRefresh();
        QCOMPARE(recorder.messages.size(), 1);
        QVERIFY(view.header()->isSectionHidden(int(Id::Event)));
        QCOMPARE(view.ShownColumnIds(), (std::vector<Id>{Id::Username, Id::Sid, Id::Module}));
    }

    // The header comes back as it was left, and by column name when saved for other columns.
    void layoutComesBack_data() {
        QTest::addColumn<bool>("sameColumns");
        QTest::newRow("saved for these columns") << true;
        QTest::newRow("saved for other columns") << false;
    }
    void layoutComesBack() {
        QFETCH(bool, sameColumns);
        {
            CNimbraView view;
            view.ShowColumns({Id::Status, Id::Sid, Id::Event});
            view.header()->resizeSection(int(Id::Event), 321);
            view.sortByColumn(int(Id::Sid), Qt::DescendingOrder);
            view.SetHideIdle(true);
            LayoutSettings layout;
            view.SaveLayout(layout);
            if (!sameColumns) {
                layout.HeaderColumns.removeLast();
            }
            LayoutSettings::Save(layout);
        }
        CNimbraView view;
        view.RestoreLayout(LayoutSettings::Load());
        QCOMPARE(view.ShownColumnIds(), (std::vector<Id>{Id::Status, Id::Sid, Id::Event}));
        QCOMPARE(view.header()->sectionSize(int(Id::Event)), 321);
        QCOMPARE(view.header()->sortIndicatorSection(), int(Id::Sid));
        QCOMPARE(view.header()->sortIndicatorOrder(), Qt::DescendingOrder);
        QVERIFY(view.SortFilter()->HidesIdle());
    }
};

QTEST_MAIN(tst_SessionList)
#include "tst_sessionlist.moc"
