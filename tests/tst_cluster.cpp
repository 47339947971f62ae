// A cluster and a container database through the list: which sessions are read and how they are
// named, and the commands that must reach the right instance's session.

#include <QAction>
#include <QtTest>
#include <memory>

#include "ConnectionTexts.h"
#include "DatabaseShape.h"
#include "DbTestSupport.h"
#include "GuiTestSupport.h"
#include "SessionActions.h"
#include "SessionStatements.h"
#include "frame/MainFrame.h"
#include "sessionview/NimbraView.h"
#include "widgets/CommandIds.h"
#include "widgets/MessageBox.h"

namespace {
using Id = SessionColumnId;

// Three instances; SID 7 is BOB on instance 1 and ALICE on instance 2, ALICE holds the row
// that CAROL on instance 1 waits for.
sim::ScenarioSpec cluster(sim::Release release = {}) {
    sim::ScenarioSpec setup = mixedScenario(0, 0);
    setup.release = release;
    setup.databaseName = "PROD";
    setup.instanceNames = {"prod1", "prod2", "prod3"};
    setup.sessions = {userSession(7, "BOB", 11), userSession(7, "ALICE", 22),
                      userSession(9, "CAROL", 33), userSession(4, "DAVE", 44)};
    setup.sessions[1].instance = 2;
    setup.sessions[1].inTransaction = true;
    setup.sessions[1].transactionSince = 1709650000 - 60;
    setup.sessions[1].undoRecords = 1500;
    setup.sessions[1].undoBlocks = 12;
    setup.sessions[2].blockingSession = 7;
    setup.sessions[2].blockingInstance = 2;
    setup.sessions[2].status = "ACTIVE";
    setup.sessions[3].instance = 3;
    return setup;
}

QStringList sent() {
    QStringList log;
    for (const std::string& sql : sim::Controls::instance().statementLog()) {
        log << QString::fromStdString(sql);
    }
    return log;
}

int rowOf(const CNimbraView& view, const QString& user) {
    for (int row = 0; row < view.model()->rowCount(); ++row) {
        if (view.GetItemText(row, int(Id::Username)) == user) {
            return row;
        }
    }
    return -1;
}

void selectUser(CNimbraView& view, const QString& user) {
    view.selectionModel()->select(view.model()->index(rowOf(view, user), 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}
}  // namespace

class tst_Cluster : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsLocation> m_settings;
    QStringList m_questions;

private slots:
    void init() {
        m_settings = std::make_unique<SettingsLocation>();
        resetDatabase();
        sim::Controls::instance().setFixedTime(1709650000);
        m_questions.clear();
        SetMessageBoxHandler([this](const QString& text, MsgButtons, MsgIcon) {
            m_questions << text;
            return IDYES;
        });
    }
    void cleanup() { VerifyNothingLeftBehind(); }

    // Only a user who may read gv$session on more than one instance gets it; in the root of a
    // container database each session names its container, elsewhere nothing changes.
    void whatTheListReads_data() {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("logonContainer");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QStringList>("aliceAndDave");
        QTest::newRow("cluster") << "cluster"
                                 << "system" << 1 << QStringList{"inst_id"}
                                 << QStringList{"2", "3"};
        QTest::newRow("cluster, no gv$ rights") << "cluster"
                                                << "monitor" << 1 << QStringList{} << QStringList{};
        QTest::newRow("container root")
            << "cdb"
            << "system" << 1 << QStringList{"con_id"} << QStringList{"SALES", "CDB$ROOT"};
        QTest::newRow("pluggable database") << "cdb"
                                            << "system" << 3 << QStringList{} << QStringList{};
    }
    void whatTheListReads() {
        QFETCH(QString, scenario);
        QFETCH(QString, user);
        QFETCH(int, logonContainer);
        QFETCH(QStringList, extra);
        QFETCH(QStringList, aliceAndDave);
        sim::ScenarioSpec setup = cluster();
        if (scenario == "cdb") {
            setup.instanceNames.clear();
            setup.containers = {{3, "SALES", "READ WRITE"}, {4, "HR", "READ WRITE"}};
            setup.logonContainer = logonContainer;
            for (sim::SessionSpec& s : setup.sessions) {
                s.instance = 1;
                s.sid += s.username == "ALICE" ? 10 : 0;
                s.blockingSession.reset();
                s.container = s.username == "DAVE" ? 1 : 3;
            }
        }
        sim::Controls::instance().defineScenario(scenario.toStdString(), setup);
        const QString password = user == "system" ? QString("manager") : user;
        QVERIFY(LogOn(qPrintable(user), qPrintable(password), qPrintable("sim:" + scenario)));
        MessageRecorder recorder;
        const SessionList list = FetchSessionRows(false);
        QVERIFY(recorder.messages.isEmpty());
        const QString view =
            scenario == "cluster" && !extra.isEmpty() ? "gv_$session" : "v_$session";
        const QString statement = sent().last();
        QVERIFY2(statement.contains("FROM sys." + view), qPrintable(statement));
        QCOMPARE(int(list.columns.size()), kBaseColumnCount + int(extra.size()));
        for (const QString& expression : extra) {
            QVERIFY(statement.contains(", program, " + expression + " FROM"));
        }
        QStringList shown;
        for (const SessionRow& row : list.rows) {
            const std::string& user = row.Base(Id::Username);
            if (!extra.isEmpty() && (user == "ALICE" || user == "DAVE")) {
                shown << QString::fromStdString(row.values.back());
            }
            if (user == "ALICE") {
                QCOMPARE(QString::fromStdString(row.instance),
                         extra == QStringList{"inst_id"} ? QString("2") : QString());
            }
        }
        QCOMPARE(shown, aliceAndDave);
    }

    // The same SID on two instances is two sessions: the kill, its question and the details
    // reach the one selected, on its own instance.
    void commandsReachTheSessionsInstance_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("statement");
        // Only the status of ALICE, not of BOB, shows what the server did.
        QTest::addColumn<QString>("after");
        QTest::newRow("kill") << 0 << "Alter system kill session '7, 22, @2'"
                              << "KILLED";
        QTest::newRow("kill immediately") << 1 << "ALTER SYSTEM KILL SESSION '7,22,@2' IMMEDIATE"
                                          << "gone";
        QTest::newRow("cancel") << 3 << "ALTER SYSTEM CANCEL SQL '7,22,@2'"
                                << "INACTIVE";
    }
    void commandsReachTheSessionsInstance() {
        QFETCH(int, command);
        QFETCH(QString, statement);
        QFETCH(QString, after);
        sim::Controls::instance().defineScenario("cluster", cluster());
        QVERIFY(LogOn("system", "manager", "sim:cluster"));
        CMainFrame frame;
        CNimbraView& view = *frame.findChild<CNimbraView*>();
        view.OnRefresh();
        QVERIFY(!view.isColumnHidden(int(Id::Instance)));
        QVERIFY(frame.windowTitle().endsWith(
            " - SYSTEM@sim:cluster - cluster PROD, instance prod1 (1)"));
        const int alice = rowOf(view, "ALICE");
        QCOMPARE(view.model()->index(alice, int(Id::Instance)).data(Qt::ToolTipRole).toString(),
                 QString("prod2"));
        selectUser(view, "ALICE");
        // A disconnect cannot name an instance: greyed for ALICE, offered for BOB.
        QAction* disconnect = nullptr;
        for (QAction* action : frame.findChildren<QAction*>()) {
            if (action->data().toInt() == CommandId::Disconnect) {
                disconnect = action;
            }
        }
        QVERIFY(!disconnect->isEnabled());
        QVERIFY(disconnect->toolTip().contains("only on the instance you are logged on to"));
        selectUser(view, "BOB");
        QVERIFY(disconnect->isEnabled());

        SessionDetails details;
        QCOMPARE(ReadSessionDetails({"7", "22", "2"}, details), DetailsRead::Read);
        QCOMPARE(details.username, std::string("ALICE"));

        selectUser(view, "ALICE");
        sim::Controls::instance().clearStatementLog();
        const std::function<void()> commands[] = {[&] { view.OnKillSession(); },
                                                  [&] { view.OnKillImmediately(); },
                                                  {},
                                                  [&] { view.OnCancelSql(); }};
        commands[command]();
        QCOMPARE(m_questions.size(), 1);
        QVERIFY2(m_questions[0].contains("ALICE (SID 7, serial# 22, instance 2) on dbhost01"),
                 qPrintable(m_questions[0]));
        QCOMPARE(m_questions[0].contains("1,500 undo records in 12 blocks"), command != 3);
        QVERIFY(sent().contains(statement));
        const auto status = [&view](const QString& user) {
            const int row = rowOf(view, user);
            return row < 0 ? QString("gone") : view.GetItemText(row, int(Id::Status));
        };
        QCOMPARE(status("ALICE"), after);
        QCOMPARE(status("BOB"), QString("INACTIVE"));
    }

    // Before release 11 a statement cannot name an instance: only the own instance's sessions
    // can be ended, without a suffix.
    void olderClusterEndsOnlyItsOwnSessions() {
        sim::Controls::instance().defineScenario("old", cluster({10, 2, 0, 4, 0}));
        QVERIFY(LogOn("system", "manager", "sim:old"));
        CNimbraView view;
        view.OnRefresh();
        selectUser(view, "ALICE");
        const std::vector<SessionTarget> alice = SelectedSessions(view);
        QVERIFY(!ReachesSelected(EndSession::Kill, alice));
        QVERIFY(OtherInstanceText(EndSession::Kill, ConnectedServerRelease()).contains("11g"));
        view.OnKillSession();
        QVERIFY(m_questions.isEmpty());
        selectUser(view, "BOB");
        sim::Controls::instance().clearStatementLog();
        view.OnKillSession();
        QVERIFY(sent().contains("Alter system kill session '7, 11'"));
    }

    // The chain crosses instances: CAROL on instance 1 waits on ALICE on instance 2, not on BOB,
    // who has the same SID on instance 1.
    void blockerOnAnotherInstance() {
        sim::Controls::instance().defineScenario("cluster", cluster());
        QVERIFY(LogOn("system", "manager", "sim:cluster"));
        CNimbraView view;
        view.SetBlockingWanted(true);
        view.OnRefresh();
        const QModelIndex alice = view.model()->index(rowOf(view, "ALICE"), 0);
        const QModelIndex bob = view.model()->index(rowOf(view, "BOB"), 0);
        QCOMPARE(alice.data(Qt::ToolTipRole).toString(), QString("blocks 1 session"));
        QVERIFY(bob.data(Qt::ToolTipRole).toString().isEmpty());
    }
};

QTEST_MAIN(tst_Cluster)
#include "tst_cluster.moc"
