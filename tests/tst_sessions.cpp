// The session statements against the simulated instance: texts, records and the list race.

#include <QtTest>

#include "DatabaseShape.h"
#include "DbTestSupport.h"
#include "EndSession.h"
#include "LogonFlow.h"
#include "SessionActions.h"
#include "SessionStatements.h"
#include "TableProbes.h"

namespace {
const std::string kCount = "SELECT count(*) FROM sys.v_$session";
const std::string kListUsers =
    "SELECT username, sid, serial#, status, osuser, machine, program FROM sys.v_$session"
    " WHERE username IS NOT NULL ORDER BY username";
const std::string kListAll =
    "SELECT username, sid, serial#, status, osuser, machine, program FROM sys.v_$session"
    " ORDER BY username";

const std::vector<std::string>& sent() {
    return sim::Controls::instance().statementLog();
}

void logOn(const char* scenario, const char* user = "system", const char* password = "manager") {
    QVERIFY(LogOn(user, password, testHost(scenario).c_str()));
    sim::Controls::instance().clearStatementLog();
}

enum class Operation { Refresh, Properties, Kill, LogOn };

// A fault matrix code: the call is cut at the time limit, and the connection still answers.
constexpr int kTimedOutKept = -3156;

// A list window for the operations: the rows shown, the first one selected, its timer.
class MatrixPort : public SessionListPort {
public:
    void ShowSessions(SessionList shown) override { rows = std::move(shown.rows); }
    std::vector<SessionRow> SelectedSessions() const override {
        return rows.empty() ? std::vector<SessionRow>{} : std::vector<SessionRow>{rows.front()};
    }
    int SetTimer(int) override { return 10010; }
    void KillTimer(int) override {}
    void SetStatusText(const QString&) override {}
    void ShowSessionCount(const QString&) override {}
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}

    std::vector<SessionRow> rows;
};
}  // namespace

class tst_SessionStatements : public QObject {
    Q_OBJECT

private slots:
    void init() { resetDatabase(); }
    void cleanup() {
        VerifyNoCursorOpen();
        LogOff();
        QCOMPARE(sim::Controls::instance().openCursors(), 0);
        QCOMPARE(liveClientHandles(), 0);
    }

    void statementTexts() {
        QCOMPARE(SessionListStatement(false), kListUsers);
        QCOMPARE(SessionListStatement(true), kListAll);
        QCOMPARE(SessionDetailStatement("7", "1"),
                 std::string("SELECT username, status, osuser, machine, program, "
                             "TO_CHAR(logon_time, 'DD-MON-YYYY HH24:MI:SS'), schemaname FROM "
                             "sys.v_$session WHERE SID = '7' AND SERIAL# = '1'"));
        QCOMPARE(SqlTextStatement("7", "1"),
                 std::string("SELECT sql_text FROM sys.v_$session a, sys.v_$sqltext b WHERE "
                             "a.sql_address = b.address AND a.sql_hash_value = b.hash_value AND "
                             "a.SID = '7' AND a.SERIAL# = '1' ORDER BY PIECE"));
        QCOMPARE(KillStatement("12", "345"), std::string("Alter system kill session '12, 345'"));
    }

    void listFiltersAndSorts_data() {
        QTest::addColumn<bool>("showSystem");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("statement");
        QTest::newRow("users only") << false << 28 << QString::fromStdString(kListUsers);
        QTest::newRow("all sessions") << true << 40 << QString::fromStdString(kListAll);
    }
    void listFiltersAndSorts() {
        QFETCH(bool, showSystem);
        QFETCH(int, rows);
        QFETCH(QString, statement);
        sim::Controls::instance().defineScenario("forty", mixedScenario(40, 12));
        logOn("forty");
        MessageRecorder recorder;
        const std::vector<SessionRow> list = FetchSessionRows(showSystem).rows;
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(int(list.size()), rows);
        // What the database is made of is asked at the first list after a log-on only.
        const std::vector<std::string> expected = {
            ClusterProbeStatement(), ContainerProbeStatement(), kCount, statement.toStdString()};
        QCOMPARE(sent(), expected);
        QCOMPARE(list.front().Base(SessionColumnId::Username), std::string("USER13"));
        QCOMPARE(list.front().Base(SessionColumnId::Sid), std::string("13"));
        QCOMPARE(list.front().Base(SessionColumnId::Serial), std::string("113"));
        QCOMPARE(list.front().Base(SessionColumnId::Status), std::string("INACTIVE"));
        QCOMPARE(list.front().Base(SessionColumnId::OsUser), std::string("oracle"));
        QCOMPARE(list.front().Base(SessionColumnId::Machine), std::string("dbhost01"));
        QCOMPARE(list.front().Base(SessionColumnId::Program),
                 std::string("sqlplus@client (TNS V1-V3)"));
        // Sessions without a user name sort last, with an empty name.
        QCOMPARE(list.back().Base(SessionColumnId::Username),
                 showSystem ? std::string() : std::string("USER40"));
    }

    // Sessions that begin between the count and the list are read too, without a message.
    void sessionsStartingDuringRefreshAreListed_data() {
        QTest::addColumn<int>("existing");
        QTest::addColumn<int>("added");
        QTest::newRow("a few more") << 10 << 3;
        QTest::newRow("more than twice as many") << 5 << 40;
        QTest::newRow("none counted") << 0 << 2;
        // Buffers for 5, 64 and 128 rows all come short before 256 hold them.
        QTest::newRow("far more than one retry holds") << 5 << 200;
    }
    void sessionsStartingDuringRefreshAreListed() {
        QFETCH(int, existing);
        QFETCH(int, added);
        sim::Controls::instance().defineScenario("race", mixedScenario(existing, 0));
        logOn("race");
        sim::Controls::instance().addSessionsAfterNextCount(added);
        MessageRecorder recorder;
        const std::vector<SessionRow> list = FetchSessionRows(true).rows;
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(int(list.size()), existing + added);
        QCOMPARE(countOf(sent(), kCount), 1);
        QVERIFY(countOf(sent(), kListAll) >= 2);
    }

    void normalRefreshIsOneCountAndOneList() {
        sim::Controls::instance().defineScenario("ten", mixedScenario(10, 0));
        logOn("ten");
        FetchSessionRows(true);
        sim::Controls::instance().clearStatementLog();
        const int before = sim::Controls::instance().roundTrips();
        QCOMPARE(FetchSessionRows(true).rows.size(), std::size_t(10));
        QCOMPARE(sent(), (std::vector<std::string>{kCount, kListAll}));
        // The count's row comes back with its execute; the list is one execute-and-fetch.
        QCOMPARE(sim::Controls::instance().roundTrips() - before, 2);
    }

    // Values as wide as today's releases make them arrive whole; a value the database cut is read
    // again wider; what even that cannot hold is cut between characters.
    void valuesArriveWhole_data() {
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("machine");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("shownProgram");
        QTest::addColumn<int>("lists");  // list statements sent
        const QString euro = QString::fromUtf8("\u20ac");
        QTest::newRow("as wide as the columns")
            << QString(128, 'U') << QString(64, 'm') << QString(84, 'p') << QString(84, 'p') << 1;
        QTest::newRow("a 4-byte character in the last place")
            << QString(124, 'U') + QString::fromUtf8("\U0001D11E") << "m"
            << "p"
            << "p" << 1;
        QTest::newRow("longer after conversion: read again")
            << "U" << QString(200, 'm') << QString("p") << QString("p") << 2;
        QTest::newRow("longer than any conversion: cut between characters")
            << "U"
            << "m"
            << "a" + euro.repeated(200) << "a" + euro.repeated(111) << 2;
    }
    void valuesArriveWhole() {
        QFETCH(QString, username);
        QFETCH(QString, machine);
        QFETCH(QString, program);
        QFETCH(QString, shownProgram);
        QFETCH(int, lists);
        sim::ScenarioSpec setup;
        sim::SessionSpec s = userSession(1, username.toStdString());
        s.machine = machine.toStdString();
        s.program = program.toStdString();
        s.osuser = username.toStdString();
        setup.sessions.push_back(s);
        sim::Controls::instance().defineScenario("wide", setup);
        logOn("wide");
        MessageRecorder recorder;
        const std::vector<SessionRow> list = FetchSessionRows(true).rows;
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(list.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(list[0].Base(SessionColumnId::Username)), username);
        QCOMPARE(QString::fromStdString(list[0].Base(SessionColumnId::OsUser)), username);
        QCOMPARE(QString::fromStdString(list[0].Base(SessionColumnId::Machine)), machine);
        QCOMPARE(QString::fromStdString(list[0].Base(SessionColumnId::Program)), shownProgram);
        QCOMPARE(countOf(sent(), kListAll), lists);
        SessionDetails details;
        QCOMPARE(QuerySessionDetails({"1", "1"}, details), SessionLookup::Found);
        QCOMPARE(QString::fromStdString(details.machine), machine);
        QCOMPARE(QString::fromStdString(details.username), username);
    }

    void nullValuesAreEmpty() {
        sim::ScenarioSpec setup;
        setup.sessions.push_back(userSession(1, "ALICE"));
        sim::SessionSpec bare = userSession(2, "BOB");
        bare.osuser.reset();
        bare.machine.reset();
        bare.program.reset();
        bare.schemaname.reset();
        setup.sessions.push_back(bare);
        sim::Controls::instance().defineScenario("nulls", setup);
        logOn("nulls");
        MessageRecorder recorder;
        const std::vector<SessionRow> list = FetchSessionRows(true).rows;
        QCOMPARE(list.size(), std::size_t(2));
        QCOMPARE(list[1].Base(SessionColumnId::OsUser), std::string());
        QCOMPARE(list[1].Base(SessionColumnId::Machine), std::string());
        QCOMPARE(list[1].Base(SessionColumnId::Program), std::string());
        SessionDetails details;
        details.schemaName = "left over";
        details.machine = "left over";
        QCOMPARE(QuerySessionDetails({"2", "1"}, details), SessionLookup::Found);
        QCOMPARE(details.machine, std::string());
        QCOMPARE(details.schemaName, std::string());
        QCOMPARE(details.username, std::string("BOB"));
        QVERIFY(recorder.messages.isEmpty());
    }

    void detailsOfASession() {
        sim::ScenarioSpec setup;
        setup.sessions.push_back(userSession(7, "SCOTT"));
        sim::Controls::instance().defineScenario("one", setup);
        logOn("one");
        SessionDetails details;
        QCOMPARE(QuerySessionDetails({"7", "1"}, details), SessionLookup::Found);
        QCOMPARE(sent(), (std::vector<std::string>{SessionDetailStatement("7", "1")}));
        QCOMPARE(details.sid, std::string("7"));
        QCOMPARE(details.serial, std::string("1"));
        QCOMPARE(details.username, std::string("SCOTT"));
        QCOMPARE(details.status, std::string("INACTIVE"));
        QCOMPARE(details.osUser, std::string("oracle"));
        QCOMPARE(details.machine, std::string("dbhost01"));
        QCOMPARE(details.program, std::string("sqlplus@client (TNS V1-V3)"));
        // On the 24-hour clock.
        QCOMPARE(details.logonTime, std::string("05-MAR-2024 14:07:09"));
        QCOMPARE(details.schemaName, std::string("SCOTT"));
    }

    void detailsOfAnEndedSessionAreEmpty() {
        sim::Controls::instance().defineScenario("one", mixedScenario(1, 0));
        logOn("one");
        MessageRecorder recorder;
        SessionDetails details;
        details.username = details.status = details.logonTime = "stale";
        QCOMPARE(QuerySessionDetails({"99", "5"}, details), SessionLookup::NotFound);
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(details.sid, std::string("99"));
        QCOMPARE(details.serial, std::string("5"));
        QCOMPARE(details.username, std::string());
        QCOMPARE(details.status, std::string());
        QCOMPARE(details.logonTime, std::string());
        QVERIFY(IsLoggedOn());
    }

    // The statement is its pieces joined as stored, nothing added between them.
    void sqlTextIsThePiecesJoined_data() {
        QTest::addColumn<QString>("statement");
        QString letters;
        for (int i = 0; i < 64000; ++i) {
            letters += QChar('a' + i % 26);
        }
        QTest::newRow("no statement") << QString();
        QTest::newRow("one piece") << letters.left(20);
        QTest::newRow("three pieces") << letters.left(150);
        QTest::newRow("1,000 pieces") << letters;
        // 63 characters, then the blank that ends the first piece.
        QTest::newRow("a piece ending in a blank") << "SELECT " + QString(56, 'c') + " FROM t";
    }
    void sqlTextIsThePiecesJoined() {
        QFETCH(QString, statement);
        sim::ScenarioSpec setup;
        setup.sessions.push_back(userSession(7, "SCOTT"));
        if (!statement.isEmpty()) {
            setup.sessions[0].sqlText = statement.toStdString();
        }
        sim::Controls::instance().defineScenario("sql", setup);
        logOn("sql");
        SessionDetails details;
        details.sqlText = "previous";
        QVERIFY(QuerySqlText({"7", "1"}, details));
        QCOMPARE(sent(), (std::vector<std::string>{SqlTextStatement("7", "1")}));
        QCOMPARE(QString::fromStdString(details.sqlText), statement);
    }

    // Each client call made to fail in each statement of an operation, with an ordinary error
    // and with a lost connection, and each code that means a lost connection: one message for
    // the operation, nothing left open, and no refresh started inside its message.
    void faultMatrix_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("nth");
        QTest::addColumn<int>("code");
        struct Step {
            const char* statement;
            sim::Call call;
            int nth;
            // The fetch needs a round trip: its rows did not come with the execute.
            bool toServer = false;
        };
        using C = sim::Call;
        const std::vector<std::pair<Operation, std::vector<Step>>> operations = {
            {Operation::Refresh,
             {{"count", C::Open, 1},
              {"count", C::Parse, 1},
              {"count", C::Define, 1},
              {"count", C::Exec, 1},
              {"count", C::Fetch, 1},
              {"count", C::Close, 1},
              {"list", C::Open, 2},
              {"list", C::Parse, 2},
              {"list", C::Define, 2},
              {"list", C::ExecFetch, 1},
              {"list", C::Close, 2}}},
            {Operation::Properties,
             {{"detail", C::Open, 1},
              {"detail", C::Parse, 1},
              {"detail", C::Define, 1},
              {"detail", C::ExecFetch, 1},
              {"detail", C::Close, 1},
              {"sql text", C::Open, 2},
              {"sql text", C::Parse, 2},
              {"sql text", C::Define, 8},
              {"sql text", C::Exec, 1},
              {"sql text", C::Fetch, 1, true},
              {"sql text", C::Fetch, 2, true},
              {"sql text", C::Close, 2}}},
            {Operation::Kill,
             {{"own sid", C::Open, 1},
              {"own sid", C::Parse, 1},
              {"own sid", C::Define, 1},
              {"own sid", C::ExecFetch, 1},
              {"own sid", C::Close, 1},
              {"open transactions", C::Open, 2},
              {"open transactions", C::Parse, 2},
              {"open transactions", C::Define, 2},
              {"open transactions", C::ExecFetch, 2},
              {"open transactions", C::Close, 2},
              {"kill", C::Open, 3},
              {"kill", C::Parse, 3},
              {"kill", C::Exec, 1},
              {"kill", C::Close, 3}}},
            {Operation::LogOn,
             {{"log-on", C::Logon, 1},
              {"v$session probe", C::Open, 1},
              {"v$session probe", C::Parse, 1},
              {"v$session probe", C::Define, 1},
              {"v$session probe", C::Exec, 1},
              {"v$session probe", C::Close, 1},
              {"v$sqltext probe", C::Open, 2},
              {"v$sqltext probe", C::Parse, 2},
              {"v$sqltext probe", C::Define, 2},
              {"v$sqltext probe", C::Exec, 2},
              {"v$sqltext probe", C::Close, 2}}}};
        const char* calls[] = {"olog",  "ologof", "oopen",  "oparse", "odefin",
                               "oexec", "ofetch", "oexfet", "oclose"};
        for (const auto& [operation, steps] : operations) {
            for (const Step& step : steps) {
                if (!failureCanCome(step.call, step.toServer)) {
                    continue;
                }
                for (int code : {1031, 3113}) {
                    QTest::addRow("%s %s #%d, %s", step.statement, calls[int(step.call)], step.nth,
                                  code == 3113 ? "lost" : "error")
                        << int(operation) << int(step.call) << step.nth << code;
                }
                const bool roundTrip = step.call == C::Exec || step.call == C::ExecFetch ||
                                       (step.call == C::Fetch && step.toServer);
                if (roundTrip) {
                    QTest::addRow("%s %s #%d, timed out, kept", step.statement,
                                  calls[int(step.call)], step.nth)
                        << int(operation) << int(step.call) << step.nth << kTimedOutKept;
                }
            }
        }
        for (int code :
             {22,   28,   45,    603,   1012,  1089,  1092,  2396,  3113,  3114,  3122,  3135,
              3136, 3156, 12153, 12170, 12537, 12541, 12547, 12570, 12571, 12583, 28511, 56600}) {
            QTest::addRow("list oexfet, lost ORA-%05d", code)
                << int(Operation::Refresh) << int(C::ExecFetch) << 1 << code;
        }
        // A code of no list, after which the client library holds the line as gone.
        if (throughClient()) {
            QTest::addRow("list oexfet, ORA-12592 and the line gone")
                << int(Operation::Refresh) << int(C::ExecFetch) << 1 << 12592;
        }
    }
    void faultMatrix() {
        QFETCH(int, operation);
        QFETCH(int, call);
        QFETCH(int, nth);
        QFETCH(int, code);
        auto setup = mixedScenario(6, 0);
        // 250 pieces: the rows of two fetches go to the server.
        setup.sessions[0].sqlText = std::string(250 * 64, 'x');
        sim::Controls::instance().defineScenario("matrix", setup);
        const auto op = Operation(operation);
        const bool kept = code == kTimedOutKept;
        SetCallTimeoutSeconds(kept ? 1 : 30);
        if (op != Operation::LogOn) {
            logOn("matrix");
        }
        MatrixPort port;
        RefreshCycle cycle(port, 5, false);
        cycle.StartRefreshTimer();
        if (op == Operation::Kill) {
            cycle.RefreshList();
        }
        QStringList messages;
        bool nested = false;
        SetMessageSink([&](const std::string& text) {
            messages << QString::fromStdString(text);
            if (op != Operation::Refresh) {
                return;
            }
            // A tick and a Refresh inside a refresh's message start nothing.
            const std::size_t before = sent().size();
            cycle.OnTimer(cycle.TimerId());
            cycle.RefreshList();
            nested = nested || sent().size() != before;
        });
        if (kept) {
            // Longer than a kill's own limit, too.
            sim::Controls::instance().delayCall(sim::Call(call), nth, std::chrono::seconds(100),
                                                true);
        } else {
            sim::Controls::instance().failCall(sim::Call(call), nth, code);
        }

        switch (op) {
            case Operation::Refresh:
                cycle.RefreshList();
                break;
            case Operation::Properties: {
                SessionDetails details;
                ReadSessionDetails({"1", "101"}, details);
                break;
            }
            case Operation::Kill:
                KillSelectedSessions(port, cycle, [](const QString&) { return true; });
                break;
            case Operation::LogOn:
                LogOnWithAccessCheck(
                    {"system", "manager", QString::fromStdString(testHost("matrix"))});
                break;
        }
        const int open = sim::Controls::instance().openCursors();
        // The connection's own handles (error, server, service context, session) stay while it
        // is up.
        const int handles = liveClientHandles() - (throughClient() && IsLoggedOn() ? 4 : 0);
        SetMessageSink({});
        QCOMPARE(open, 0);
        QCOMPARE(handles, 0);
        QVERIFY(!nested);
        QVERIFY2(messages.size() == 1, qPrintable(messages.join("\n---\n")));
        // A probe refused by the server is the one failure that speaks of access rights.
        const bool refusedProbe =
            op == Operation::LogOn && call == int(sim::Call::Exec) && code == 1031;
        if (kept) {
            // A kill waits longer than the other calls.
            const QString limit =
                op == Operation::Kill && call == int(sim::Call::Exec) ? "75 seconds" : "1 second,";
            QVERIFY2(messages[0].contains("ORA-03156: OCI call timed out\nThe database did not "
                                          "answer within the time limit of " +
                                          limit),
                     qPrintable(messages[0]));
            // Nothing is stored for a log-on whose access is unknown.
            QCOMPARE(IsLoggedOn(), op != Operation::LogOn);
            QVERIFY(!TheConnection().connectionLost);
        } else {
            QVERIFY2(refusedProbe
                         ? messages[0].startsWith("You are connected as a user without DBA")
                         : messages[0].endsWith(
                               code == 12592 ? QString("ORA-12592: TNS:bad packet")
                                             : QString::fromStdString(sim::standardMessage(code))),
                     qPrintable(messages[0]));
        }
        if (code != 1031 && !kept) {
            QVERIFY(!IsLoggedOn());
            QVERIFY(TheConnection().connectionLost || op == Operation::LogOn);
        }
        // The connection kept, the next operation reports its own failure.
        if (kept && IsLoggedOn()) {
            MessageRecorder later;
            sim::Controls::instance().failCall(sim::Call::Exec, 1, 942);
            cycle.RefreshList();
            QCOMPARE(later.messages.size(), 1);
        }
        SetCallTimeoutSeconds(30);
    }

    // Round trips of each operation, with an SQL text of so many 64-character pieces; the rows
    // of a query come 100 to a round trip.
    void roundTripsPerOperation_data() {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("pieces");
        QTest::addColumn<int>("roundTrips");
        QTest::newRow("refresh") << int(Operation::Refresh) << 20 << 2;
        QTest::newRow("properties, 20 pieces") << int(Operation::Properties) << 20 << 2;
        QTest::newRow("properties, 100 pieces") << int(Operation::Properties) << 100 << 3;
        QTest::newRow("properties, 250 pieces") << int(Operation::Properties) << 250 << 4;
        // Its own SID, the open transactions, the kill, and the refresh after it.
        QTest::newRow("kill") << int(Operation::Kill) << 20 << 5;
    }
    void roundTripsPerOperation() {
        QFETCH(int, operation);
        QFETCH(int, pieces);
        QFETCH(int, roundTrips);
        auto setup = mixedScenario(10, 0);
        setup.sessions[0].sqlText = std::string(std::size_t(pieces) * 64, 's');
        sim::Controls::instance().defineScenario("trips", setup);
        logOn("trips");
        MatrixPort port;
        RefreshCycle cycle(port, 0, false);
        cycle.RefreshList();
        const int before = sim::Controls::instance().roundTrips();
        SessionDetails details;
        switch (Operation(operation)) {
            case Operation::Refresh:
                cycle.RefreshList();
                break;
            case Operation::Properties:
                QCOMPARE(ReadSessionDetails({"1", "101"}, details), DetailsRead::Read);
                QCOMPARE(details.sqlText.size(), std::size_t(pieces) * 64);
                break;
            default:
                QCOMPARE(KillSelectedSessions(port, cycle, [](const QString&) { return true; }), 1);
                break;
        }
        QCOMPARE(sim::Controls::instance().roundTrips() - before, roundTrips);
    }

    void killOutcomesAreSilent_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("sid");
        QTest::addColumn<QString>("status");
        QTest::newRow("system kills") << "system"
                                      << "manager"
                                      << "12"
                                      << "KILLED";
        QTest::newRow("monitor may not") << "monitor"
                                         << "monitor"
                                         << "12"
                                         << "INACTIVE";
        QTest::newRow("no such session") << "system"
                                         << "manager"
                                         << "99"
                                         << "INACTIVE";
    }
    void killOutcomesAreSilent() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, sid);
        QFETCH(QString, status);
        sim::Controls::instance().setFixedTime(1800000000);
        sim::ScenarioSpec setup;
        setup.sessions.push_back(userSession(12, "SCOTT", 345));
        sim::Controls::instance().defineScenario("kill", setup);
        logOn("kill", user.toUtf8().constData(), password.toUtf8().constData());
        MessageRecorder recorder;
        QVERIFY(KillSession(sid.toStdString(), "345"));
        QCOMPARE(sent(), (std::vector<std::string>{"Alter system kill session '" +
                                                   sid.toStdString() + ", 345'"}));
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(IsLoggedOn());
        const std::vector<SessionRow> list = FetchSessionRows(true).rows;
        QCOMPARE(list.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(list[0].Base(SessionColumnId::Status)), status);
    }

    // The kill may wait for the server's own minute; every other call keeps the call time
    // limit.
    void killWaitsLongerThanOtherCalls_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("killSeconds");
        QTest::addColumn<bool>("killTimesOut");
        QTest::newRow("busy session answered within 75 s") << 30 << 60 << false;
        QTest::newRow("no answer within 75 s") << 30 << 80 << true;
        QTest::newRow("a longer limit stays") << 100 << 90 << false;
        QTest::newRow("a longer limit still ends") << 100 << 110 << true;
        QTest::newRow("no limit") << 0 << 500 << false;
    }
    void killWaitsLongerThanOtherCalls() {
        QFETCH(int, limit);
        QFETCH(int, killSeconds);
        QFETCH(bool, killTimesOut);
        SetCallTimeoutSeconds(limit);
        sim::ScenarioSpec setup;
        setup.sessions.push_back(userSession(12, "SCOTT", 345));
        sim::Controls::instance().defineScenario("kill", setup);
        logOn("kill");
        SetCallTimeoutSeconds(30);
        sim::Controls::instance().delayCall(sim::Call::Exec, 1, std::chrono::seconds(killSeconds));
        MessageRecorder recorder;
        const std::optional<EndAnswer> answer = KillSession("12", "345");
        QCOMPARE(IsLoggedOn(), !killTimesOut);
        QCOMPARE(answer->code, killTimesOut ? 3156 : 0);
        if (killTimesOut) {
            return;
        }
        sim::Controls::instance().delayCall(sim::Call::Exec, 1, std::chrono::seconds(40));
        CountRows("sys.v_$session", "");
        QCOMPARE(IsLoggedOn(), limit == 0 || limit > 40);
        QCOMPARE(recorder.messages.size(), IsLoggedOn() ? 0 : 1);
    }

    // Each way to end a session sends its own statement; the list's kill keeps its text, and
    // a cancel needs release 18.
    void endSessionStatements_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("on12c");
        QTest::newRow("kill") << int(EndSession::Kill) << "Alter system kill session '12, 345'"
                              << true;
        QTest::newRow("kill immediately") << int(EndSession::KillImmediately)
                                          << "ALTER SYSTEM KILL SESSION '12,345' IMMEDIATE" << true;
        QTest::newRow("disconnect")
            << int(EndSession::Disconnect)
            << "ALTER SYSTEM DISCONNECT SESSION '12,345' POST_TRANSACTION" << true;
        QTest::newRow("cancel SQL")
            << int(EndSession::CancelSql) << "ALTER SYSTEM CANCEL SQL '12,345'" << false;
    }
    void endSessionStatements() {
        QFETCH(int, kind);
        QFETCH(QString, statement);
        QFETCH(bool, on12c);
        const auto end = EndSession(kind);
        QCOMPARE(QString::fromStdString(EndSessionStatement(end, "12", "345")), statement);
        ServerRelease release12;
        release12.major = 12;
        release12.minor = 2;
        QCOMPARE(IsAvailable(end, release12), on12c);
        QCOMPARE(UnavailableText(end, release12).isEmpty(), on12c);
        QVERIFY(IsAvailable(end, ServerRelease()));
    }

    // Keys that are not what the view delivers never reach a statement.
    void malformedKeysSendNothing_data() {
        QTest::addColumn<QString>("sid");
        QTest::addColumn<QString>("serial");
        QTest::newRow("empty sid") << ""
                                   << "1";
        QTest::newRow("empty serial") << "7"
                                      << "";
        QTest::newRow("letters") << "7a"
                                 << "1";
        QTest::newRow("quote") << "7' OR '1'='1"
                               << "1";
        QTest::newRow("blank") << " 7"
                               << "1";
        QTest::newRow("negative") << "7"
                                  << "-1";
    }
    void malformedKeysSendNothing() {
        QFETCH(QString, sid);
        QFETCH(QString, serial);
        sim::Controls::instance().defineScenario("one", mixedScenario(1, 0));
        logOn("one");
        SessionDetails details;
        QCOMPARE(QuerySessionDetails({sid.toStdString(), serial.toStdString()}, details),
                 SessionLookup::NotSent);
        QVERIFY(!QuerySqlText({sid.toStdString(), serial.toStdString()}, details));
        QVERIFY(!KillSession(sid.toStdString(), serial.toStdString()));
        QVERIFY(sent().empty());
    }

    void failedCountListsNothing() {
        sim::Controls::instance().defineScenario("ten", mixedScenario(10, 0));
        logOn("ten");
        sim::Controls::instance().failCall(sim::Call::Exec, 1, 3113);
        MessageRecorder recorder;
        QVERIFY(FetchSessionRows(true).rows.empty());
        QVERIFY(!recorder.messages.isEmpty());
        QCOMPARE(recorder.messages.first(),
                 QString("ORACLE Error when processing OCI function OEXEC, OEXN\n"
                         "ORA-03113: end-of-file on communication channel"));
        QVERIFY(!IsLoggedOn());
    }
};

QTEST_GUILESS_MAIN(tst_SessionStatements)
#include "tst_sessions.moc"
