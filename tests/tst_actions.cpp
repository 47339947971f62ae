// Killing the selected session through the view: the question, what is sent, the refresh, and
// the keys that end the command without a word.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QTimerEvent>
#include <QtTest>
#include <algorithm>
#include <functional>
#include <memory>

#include "DbTestSupport.h"
#include "EndSession.h"
#include "GuiTestSupport.h"
#include "SessionStatements.h"
#include "SettingsStore.h"
#include "Transactions.h"
#include "frame/MainFrame.h"
#include "sessionview/NimbraView.h"
#include "widgets/MessageBox.h"
#include "widgets/StatusText.h"

namespace {
const QString kKill = QStringLiteral("Alter system kill session '12, 345'");
const QString kCount = QStringLiteral("SELECT count(*) FROM sys.v_$session");
const QString kOwnSid = QStringLiteral("SELECT SYS_CONTEXT('USERENV', 'SID') FROM dual");
// What a kill of ALICE would roll back.
const QString kAliceTransaction = QString::fromStdString(OpenTransactionsStatement({"12"}));
const QString kList = QString::fromStdString(SessionListStatement(false));
const QString kAliceLine =
    QStringLiteral("ALICE (SID 12, serial# 345) on dbhost01, sqlplus@client (TNS V1-V3)");

QStringList sent() {
    QStringList log;
    for (const std::string& sql : sim::Controls::instance().statementLog()) {
        log << QString::fromStdString(sql);
    }
    return log;
}

int selectedRow(const CNimbraView& view) {
    return view.GetNextItem(-1, CListViewEx::Selected);
}

QString statusOf(const CNimbraView& view, const QString& sid) {
    for (int row = 0; row < view.Sessions()->GetItemCount(); ++row) {
        if (view.Sessions()->GetItemText(row, 1) == sid) {
            return view.Sessions()->GetItemText(row, 3);
        }
    }
    return QStringLiteral("gone");
}
}  // namespace

class tst_Actions : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<SettingsLocation> m_settings;
    QStringList m_questions;
    int m_answer = IDYES;
    std::function<void()> m_whileAsking;

    // Listed by user name: ALICE 12/345, BOB 20/7, CAROL 31/9.
    static sim::ScenarioSpec threeSessions() {
        auto setup = mixedScenario(0, 0);
        setup.sessions = {userSession(20, "BOB", 7), userSession(31, "CAROL", 9),
                          userSession(12, "ALICE", 345)};
        return setup;
    }
    static void select(CNimbraView& view, const QList<int>& rows) {
        for (int row : rows) {
            view.selectionModel()->select(view.model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    // The three sessions listed, the given rows selected.
    void listThree(CNimbraView& view, const QList<int>& selected) {
        sim::Controls::instance().defineScenario("three", threeSessions());
        QVERIFY(LogOn("system", "manager", "sim:three"));
        view.OnRefresh();
        select(view, selected);
        sim::Controls::instance().clearStatementLog();
    }

private slots:
    void init() {
        m_settings = std::make_unique<SettingsLocation>();
        resetDatabase();
        sim::Controls::instance().setFixedTime(1709650000);
        m_questions.clear();
        m_answer = IDYES;
        m_whileAsking = {};
        SetMessageBoxHandler([this](const QString& text, MsgButtons buttons, MsgIcon icon) {
            m_questions << text;
            if (buttons != MsgButtons::YesNo || icon != MsgIcon::Default) {
                qWarning("not a Yes/No question with the warning icon: %s", qPrintable(text));
            }
            if (m_whileAsking) {
                m_whileAsking();
            }
            return m_answer;
        });
    }
    void cleanup() { VerifyNothingLeftBehind(); }

    void kill_data() {
        QTest::addColumn<QList<int>>("selected");
        // Written over Sid and Serial of the upper selected row; empty keeps the listed ones.
        QTest::addColumn<QStringList>("key");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("kills");
        QTest::newRow("Yes") << QList<int>{0} << QStringList{} << IDYES << QStringList{kKill};
        QTest::newRow("No") << QList<int>{0} << QStringList{} << IDNO << QStringList{};
        QTest::newRow("two selected: both, from the top")
            << QList<int>{2, 1} << QStringList{} << IDYES
            << QStringList{"Alter system kill session '20, 7'",
                           "Alter system kill session '31, 9'"};
        QTest::newRow("nothing selected")
            << QList<int>{} << QStringList{} << IDYES << QStringList{};
        QTest::newRow("empty Sid")
            << QList<int>{0} << QStringList{"", "345"} << IDYES << QStringList{};
        QTest::newRow("quote in Sid")
            << QList<int>{0} << QStringList{"12' --", "345"} << IDYES << QStringList{};
        QTest::newRow("negative Serial")
            << QList<int>{0} << QStringList{"12", "-345"} << IDYES << QStringList{};
    }
    void kill() {
        QFETCH(QList<int>, selected);
        QFETCH(QStringList, key);
        QFETCH(int, answer);
        QFETCH(QStringList, kills);
        CNimbraView view;
        listThree(view, selected);
        const int upper = selectedRow(view);
        if (!key.isEmpty()) {
            view.Sessions()->SetItemText(upper, 1, key[0]);
            view.Sessions()->SetItemText(upper, 2, key[1]);
        }
        m_answer = answer;

        view.OnKillSession();

        const bool asked = upper >= 0 && key.isEmpty();
        QCOMPARE(m_questions.size(), asked ? 1 : 0);
        if (asked) {
            // The question names every session it would kill, from the top.
            QStringList lines = m_questions[0].split('\n');
            QCOMPARE(lines.takeFirst(),
                     selected.size() == 1 ? QString("Do You really want to kill this session?")
                                          : QString("Do You really want to kill these %1 sessions?")
                                                .arg(selected.size()));
            QCOMPARE(lines.takeFirst(), QString());
            QCOMPARE(lines.size(), selected.size());
            QCOMPARE(lines[0], selected.size() == 1
                                   ? kAliceLine
                                   : QString("BOB (SID 20, serial# 7) on dbhost01, "
                                             "sqlplus@client (TNS V1-V3)"));
        }
        // The question knows which session is Nimbra's own.
        // The SIDs of the rows asked about, from the top: ALICE 12, BOB 20, CAROL 31.
        QList<int> rows = selected;
        std::sort(rows.begin(), rows.end());
        std::vector<std::string> sids;
        for (int row : rows) {
            sids.push_back(std::vector<std::string>{"12", "20", "31"}[std::size_t(row)]);
        }
        const QStringList before =
            asked ? QStringList{kOwnSid, QString::fromStdString(OpenTransactionsStatement(sids))}
                  : QStringList{};
        if (kills.isEmpty()) {
            QCOMPARE(sent(), before);
            QCOMPARE(selectedRow(view), upper);
            return;
        }
        QCOMPARE(sent(), (before + kills + QStringList{kCount, kList}));
        QCOMPARE(statusOf(view, kills.size() == 1 ? "12" : "31"), QString("KILLED"));
        sim::Controls::instance().advanceClock(3600);
        view.OnRefresh();
        QCOMPARE(statusOf(view, kills.size() == 1 ? "12" : "20"), QString("gone"));
    }

    // What the server answers, and what the user is told. Rows 0 and 1 selected (ALICE and BOB)
    // unless the case says otherwise.
    void killAnswers_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("killsSent");
        const QString refused = "ORACLE Error when processing OCI function OEXEC, OEXN\n";
        QTest::newRow("no right to kill: told once for both")
            << "monitor" << QStringList{refused + "ORA-01031: insufficient privileges"}
            << "2 refused" << 2;
        QTest::newRow("a background process: not sent")
            << "background" << QStringList{} << "1 refused" << 0;
        QTest::newRow("one's own session: not sent") << "own" << QStringList{} << "1 refused" << 0;
        QTest::newRow("ended while asked: no message")
            << "gone" << QStringList{} << "2 already ended" << 2;
        QTest::newRow("one busy, one killed")
            << "busy" << QStringList{} << "1 killed, 1 marked for kill" << 2;
        QTest::newRow("one busy alone: marked for kill")
            << "busy alone" << QStringList{} << "Session 12,345 is marked for kill." << 1;
        // The failed statement never reached the instance, and no second one was sent.
        QTest::newRow("connection lost: one message, no more kills")
            << "lost" << QStringList{refused + "ORA-03113: end-of-file on communication channel"}
            << "The connection to the database was lost." << 0;
    }
    void killAnswers() {
        QFETCH(QString, situation);
        QFETCH(QStringList, messages);
        QFETCH(QString, status);
        QFETCH(int, killsSent);
        auto setup = threeSessions();
        setup.listOwnSessions = situation == "own";
        setup.sessions.push_back(userSession(40, ""));
        setup.sessions[2].status = situation.startsWith("busy") ? "ACTIVE" : "INACTIVE";
        sim::Controls::instance().defineScenario("answers", setup);
        const bool monitor = situation == "monitor";
        QVERIFY(
            LogOn(monitor ? "monitor" : "system", monitor ? "monitor" : "manager", "sim:answers"));
        SettingsStore::WriteProfileInt("Options", "ShowSystem", 1);
        CMainFrame frame;
        CNimbraView& view = *frame.View();
        view.OnRefresh();
        const int last = view.Sessions()->GetItemCount() - 1;  // SYSTEM, or the process
        select(view, situation == "own"          ? QList<int>{last - 1}
                     : situation == "background" ? QList<int>{last}
                     : situation == "busy alone" ? QList<int>{0}
                                                 : QList<int>{0, 1});
        sim::Controls::instance().clearStatementLog();
        if (situation == "gone") {
            m_whileAsking = [] {
                KillSession("12", "345");
                KillSession("20", "7");
                sim::Controls::instance().advanceClock(3600);
            };
        } else if (situation == "lost") {
            sim::Controls::instance().failCall(sim::Call::Exec, 1, 3113);
        }
        MessageRecorder shown;

        view.OnKillSession();

        QCOMPARE(shown.messages, messages);
        QCOMPARE(StatusPaneText(&view), status);
        int kills = 0;
        for (const QString& sql : sent()) {
            kills += sql.startsWith("Alter system kill session") ? 1 : 0;
        }
        QCOMPARE(kills, killsSent + (situation == "gone" ? 2 : 0));
        QCOMPARE(IsLoggedOn(), situation != "lost");
        QCOMPARE(view.Sessions()->GetItemCount() == 0, situation == "lost");
    }

    // Several sessions are counted in the question's first line, and those the server would
    // refuse are named as such.
    // Each session command asks, naming its action and what ALICE's transaction would cost,
    // sends its statement once and shows what the server did at the refresh after it.
    void endSessionCommands_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("after");  // ALICE's status once the list is refreshed
        QTest::newRow("kill") << 0 << "Do You really want to kill this session?" << kKill
                              << "KILLED";
        QTest::newRow("kill immediately")
            << 1 << "Do You really want to kill this session immediately?"
            << "ALTER SYSTEM KILL SESSION '12,345' IMMEDIATE"
            << "gone";
        QTest::newRow("disconnect after its transaction")
            << 2 << "Do You really want to disconnect this session after its transaction?"
            << "ALTER SYSTEM DISCONNECT SESSION '12,345' POST_TRANSACTION"
            << "ACTIVE";
        QTest::newRow("cancel its SQL")
            << 3 << "Do You really want to cancel the current SQL of this session?"
            << "ALTER SYSTEM CANCEL SQL '12,345'"
            << "INACTIVE";
    }
    void endSessionCommands() {
        QFETCH(int, command);
        QFETCH(QString, question);
        QFETCH(QString, statement);
        QFETCH(QString, after);
        auto setup = threeSessions();
        sim::SessionSpec& alice = setup.sessions[2];
        alice.status = "ACTIVE";
        alice.sqlText = "UPDATE orders SET state = 'HELD'";
        alice.transactionSince = 1709650000 - 5000;
        alice.undoRecords = 48213;
        alice.undoBlocks = 1204;
        sim::Controls::instance().defineScenario("three", setup);
        QVERIFY(LogOn("system", "manager", "sim:three"));
        CNimbraView view;
        view.OnRefresh();
        select(view, {0});
        sim::Controls::instance().clearStatementLog();

        const std::function<void()> commands[] = {
            [&] { view.OnKillSession(); }, [&] { view.OnKillImmediately(); },
            [&] { view.OnDisconnectSession(); }, [&] { view.OnCancelSql(); }};
        commands[command]();
        QCOMPARE(m_questions.size(), 1);
        const QStringList lines = m_questions[0].split('\n');
        QCOMPARE(lines[0], question);
        const QString since =
            QDateTime::fromSecsSinceEpoch(1709650000 - 5000).toString(QStringLiteral("HH:mm:ss"));
        // A cancel rolls back only the statement, so the question says nothing of the rest.
        QCOMPARE(lines[2], command == 3 ? kAliceLine
                                        : kAliceLine + ", open transaction since " + since +
                                              ", 48,213 undo records in 1,204 blocks");
        QStringList expected{kOwnSid};
        if (command != 3)
            expected << kAliceTransaction;
        // One question and no message: the server agreed.
        QCOMPARE(sent(), (expected + QStringList{statement, kCount, kList}));
        QCOMPARE(statusOf(view, "12"), after);
    }

    void questionNamesWhatCannotBeKilled() {
        auto setup = threeSessions();
        setup.listOwnSessions = true;
        setup.sessions.push_back(userSession(40, ""));
        sim::Controls::instance().defineScenario("mixed", setup);
        QVERIFY(LogOn("system", "manager", "sim:mixed"));
        SettingsStore::WriteProfileInt("Options", "ShowSystem", 1);
        CNimbraView view;
        view.OnRefresh();
        const int last = view.Sessions()->GetItemCount() - 1;
        select(view, {0, last - 1, last});
        m_answer = IDNO;
        view.OnKillSession();
        QCOMPARE(m_questions.size(), 1);
        const QStringList lines = m_questions[0].split('\n');
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QString("Do You really want to kill these 3 sessions?"));
        QCOMPARE(lines[2], kAliceLine);
        QVERIFY2(lines[3].startsWith("SYSTEM (SID ") &&
                     lines[3].endsWith(": your own session, which cannot be killed"),
                 qPrintable(lines[3]));
        QCOMPARE(lines[4], QString("(background) (SID 40, serial# 1) on dbhost01, "
                                   "oracle@dbhost01 (PMON): a background process, which cannot "
                                   "be killed"));
    }

    // The question through the real message box: its caption, icon, buttons and default, and
    // each way of answering it.
    void killThroughTheRealBox_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("killed");
        QTest::newRow("Yes") << "Yes" << true;
        QTest::newRow("No") << "No" << false;
        QTest::newRow("Enter answers No") << "Enter" << false;
        QTest::newRow("Escape answers No") << "Escape" << false;
    }
    void killThroughTheRealBox() {
        QFETCH(QString, answer);
        QFETCH(bool, killed);
        SetMessageBoxHandler({});
        CNimbraView view;
        listThree(view, {0});
        QString seen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            QAbstractButton* no = box->button(QMessageBox::No);
            const bool noIsDefault = box->defaultButton() == no;
            seen = QStringList{box->windowTitle(), QString::number(int(box->icon())),
                               QString::number(box->buttons().size()),
                               QString(noIsDefault ? "No" : "not No"), box->text()}
                       .join('|');
            if (answer == "Yes") {
                yes->click();
            } else if (answer == "No") {
                no->click();
            } else {
                QTest::keyClick(box, answer == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
            }
        });
        view.OnKillSession();
        QCOMPARE(seen, QStringList({"Nimbra", QString::number(int(QMessageBox::Warning)), "2", "No",
                                    "Do You really want to kill this session?\n\n" + kAliceLine})
                           .join('|'));
        QCOMPARE(sent().contains(kKill), killed);
    }

    // The timer runs on behind the question; the kill keeps the key it read before asking.
    void tickDuringQuestion() {
        SettingsStore::WriteProfileInt("Options", "RefreshSec", 15);
        CNimbraView view;
        listThree(view, {0});
        int selectedAfterTick = 0;
        m_whileAsking = [&] {
            QTimerEvent tick(view.TimerId());
            QCoreApplication::sendEvent(&view, &tick);
            selectedAfterTick = selectedRow(view);
        };
        view.OnKillSession();
        // The tick kept the selection: the row asked about is still the one selected.
        QCOMPARE(selectedAfterTick, 0);
        QCOMPARE(m_questions.first().section('\n', 2, 2), kAliceLine);
        QCOMPARE(sent(),
                 (QStringList{kOwnSid, kAliceTransaction, kCount, kList, kKill, kCount, kList}));
        QVERIFY(view.TimerId() != 0);
    }
};

QTEST_MAIN(tst_Actions)
#include "tst_actions.moc"
