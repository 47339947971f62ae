// The properties sheet opened through the view on the simulated instance: which text lands in
// which control, and the sheet's caption, first page and buttons.

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "DbTestSupport.h"
#include "EndSession.h"
#include "GuiTestSupport.h"
#include "SessionStatements.h"
#include "dialogs/PropsSheet.h"
#include "sessionview/NimbraView.h"
#include "widgets/MessageBox.h"
#include "widgets/ValueField.h"

namespace {
// Stored in two pieces, of 64 and 11 characters.
const std::string kStatement =
    "SELECT order_id, customer_id, total FROM sales.orders WHERE status = 'OPEN'";
// Wider than its field at the sheet's first size.
const std::string kMachine = "reporting-cluster-node-17.eu-west-1.compute.internal.corp.example";

// Listed by user name: ALICE 12/345 running kStatement, BOB 20/7 running nothing.
void listTwo(CNimbraView& view) {
    auto alice = userSession(12, "ALICE", 345);
    alice.status = "ACTIVE";
    alice.osuser = "alice";
    alice.machine = kMachine;
    alice.program = "orders.exe";
    alice.schemaname = "SALES";
    alice.sqlText = kStatement;
    auto setup = mixedScenario(0, 0);
    setup.sessions = {userSession(20, "BOB", 7), alice};
    sim::Controls::instance().defineScenario("two", setup);
    QVERIFY(LogOn("system", "manager", "sim:two"));
    view.OnRefresh();
}

// Selects the row and runs the Properties command; look sees the sheet once it is up, then
// the sheet is closed. Returns whether a sheet opened.
bool openProperties(CNimbraView& view, int row, const std::function<void(CPropsSheet&)>& look) {
    view.selectionModel()->select(view.model()->index(row, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    bool opened = false;
    QTimer probe;
    probe.setSingleShot(true);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (auto* sheet = qobject_cast<CPropsSheet*>(QApplication::activeModalWidget())) {
            opened = true;
            look(*sheet);
            sheet->reject();
        }
    });
    probe.start(0);
    view.OnSessionProperties();
    return opened;
}
}  // namespace

class tst_Props : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsLocation> m_settings;

private slots:
    void init() {
        m_settings = std::make_unique<SettingsLocation>();
        resetDatabase();
        AnswerUnexpectedBoxes();
    }
    void cleanup() { VerifyNothingLeftBehind(); }

    void fields_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        const auto general = [](const char* name, const char* control, const char* text) {
            QTest::newRow(name) << 0 << control << text;
        };
        general("SID 1005", "sid1005", "12");
        general("Serial No 1006", "serial1006", "345");
        general("User name 1007", "username1007", "ALICE");
        general("Status 1009", "status1009", "ACTIVE");
        general("Schema name 1008", "schemaName1008", "SALES");
        general("OS User 1010", "osUser1010", "alice");
        general("Machine 1011", "machine1011", kMachine.c_str());
        general("Program 1012", "program1012", "orders.exe");
        general("Login time 1013", "logonTime1013", "05-MAR-2024 14:07:09");
        QTest::newRow("SQL 1006, two pieces as one statement")
            << 0 << "sqlText1006" << QString::fromStdString(kStatement);
        QTest::newRow("SQL 1006, no statement") << 1 << "sqlText1006" << QString();
    }
    void fields() {
        QFETCH(int, row);
        QFETCH(QString, control);
        QFETCH(QString, text);
        CNimbraView view;
        listTwo(view);
        QString shown = "none";
        QVERIFY(openProperties(view, row, [&](CPropsSheet& sheet) {
            if (const auto* field = sheet.findChild<QLineEdit*>(control)) {
                QVERIFY(field->isReadOnly());
                shown = field->text();
            } else if (const auto* edit = sheet.findChild<QPlainTextEdit*>(control)) {
                shown = edit->toPlainText();
            }
        }));
        QCOMPARE(shown, text);
    }

    void sheet() {
        CNimbraView view;
        listTwo(view);
        QVERIFY(openProperties(view, 0, [&](CPropsSheet& sheet) {
            QCOMPARE(sheet.windowTitle(), QString("Properties"));
            QCOMPARE(sheet.parentWidget(), &view);
            const auto* tabs = sheet.findChild<QTabWidget*>();
            QCOMPARE(tabs->currentIndex(), 0);
            QCOMPARE(tabs->tabText(0), QString("General"));
            QCOMPARE(tabs->tabText(1), QString("SQL"));
            QStringList buttons;
            for (const QPushButton* button : sheet.findChildren<QPushButton*>()) {
                buttons << button->text() + (button->isEnabled() ? "" : " greyed");
            }
            QCOMPARE(buttons, (QStringList{"OK", "Cancel", "&Apply greyed"}));
            // The wait cursor is held until the sheet closes, but the sheet shows the pointer.
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
        }));
    }

    // No sheet unless its values are whole: an ended session is said so and the list
    // refreshed, a failure is its one message, and a statement cut by a failed fetch is never
    // shown as the statement.
    void noSheetWithoutWholeDetails_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("nth");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("rows");
        QTest::newRow("session ended")
            << -1 << 0 << QStringList{"The session no longer exists."} << 1;
        QTest::newRow("details refused")
            << int(sim::Call::ExecFetch) << 1
            << QStringList{"ORACLE Error when processing OCI function OEXFET\n"
                           "ORA-01031: insufficient privileges"}
            << 2;
        QTest::newRow("second piece of the statement lost")
            << int(sim::Call::Fetch) << 2
            << QStringList{"ORACLE Error when processing OCI function OFETCH, OFEN\n"
                           "ORA-03113: end-of-file on communication channel"}
            << 2;
    }
    void noSheetWithoutWholeDetails() {
        QFETCH(int, call);
        QFETCH(int, nth);
        QFETCH(QStringList, messages);
        QFETCH(int, rows);
        CNimbraView view;
        listTwo(view);
        QStringList shown;
        SetMessageBoxHandler([&](const QString& text, MsgButtons, MsgIcon) {
            shown << text;
            return IDOK;
        });
        SetMessageSink([&](const std::string& text) { shown << QString::fromStdString(text); });
        if (call < 0) {
            QVERIFY(KillSession("12", "345"));
            sim::Controls::instance().advanceClock(5);
        } else {
            sim::Controls::instance().failCall(sim::Call(call), nth,
                                               call == int(sim::Call::Fetch) ? 3113 : 1031);
        }
        QVERIFY(!openProperties(view, 0, [](CPropsSheet&) {}));
        QCOMPARE(shown, messages);
        QCOMPARE(view.Sessions()->GetItemCount(), call < 0 ? rows : 2);
    }

    // A long value ends in an ellipsis with the whole value as its tool tip; a bigger sheet
    // widens the fields and the SQL text with it.
    void longValuesAndResizing() {
        CNimbraView view;
        listTwo(view);
        QVERIFY(openProperties(view, 0, [&](CPropsSheet& sheet) {
            sheet.show();
            auto* machine = sheet.findChild<CValueField*>("machine1011");
            auto* sql = sheet.findChild<QPlainTextEdit*>("sqlText1006");
            QVERIFY(machine->IsCut());
            QCOMPARE(machine->toolTip(), QString::fromStdString(kMachine));
            QCOMPARE(machine->text(), QString::fromStdString(kMachine));
            sheet.resize(sheet.size() + QSize(600, 300));
            QCoreApplication::processEvents();
            QVERIFY(!machine->IsCut());
            QCOMPARE(machine->toolTip(), QString());
            const QSize sqlBefore = sql->size();
            sheet.findChild<QTabWidget*>()->setCurrentIndex(1);
            QCoreApplication::processEvents();
            QVERIFY(sql->width() > sqlBefore.width() + 600);
        }));
    }
};

QTEST_MAIN(tst_Props)
#include "tst_props.moc"
