// The connection and cursor layer against the simulated instance.

#include <unistd.h>
#include <QTemporaryFile>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "DbTestSupport.h"
#include "OracleCursor.h"
#include "TableProbes.h"
#include "WorkerConnection.h"

using sim::Call;

namespace {
const char* const kLoginFailure =
    "ORACLE Error\nORA-01017: invalid username/password; logon denied";

// Runs f with standard output sent to a file and returns what it printed.
template <typename F>
QByteArray captureStdout(F f) {
    QTemporaryFile file;
    if (!file.open()) {
        return "<no temporary file>";
    }
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    dup2(file.handle(), STDOUT_FILENO);
    f();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    file.seek(0);
    return file.readAll();
}

bool logOnToTest() {
    return LogOn("system", "manager", testHost("test").c_str());
}
}  // namespace

class tst_Database : public QObject {
    Q_OBJECT

private slots:
    void init() {
        resetDatabase();
        sim::Controls::instance().defineScenario("test", mixedScenario(12, 0));
        auto wallet = mixedScenario(1, 0);
        wallet.externalUser = "system";
        sim::Controls::instance().defineScenario("wallet", wallet);
    }
    void cleanup() {
        VerifyNoCursorOpen();
        LogOff();
        QCOMPARE(sim::Controls::instance().openCursors(), 0);
        QCOMPARE(liveClientHandles(), 0);
    }

    void logOnOutcomes_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("mode");     // a ConnectAs
        QTest::addColumn<int>("planned");  // the log-on's planned failure; 0 for none
        QTest::newRow("good") << "system"
                              << "manager"
                              << "test"
                              << "" << 0 << 0;
        QTest::newRow("user name in any case") << "SyStEm"
                                               << "manager"
                                               << "test"
                                               << "" << 0 << 0;
        QTest::newRow("password case matters") << "system"
                                               << "MANAGER"
                                               << "test" << kLoginFailure << 0 << 0;
        // No user name and no password: external authentication, which the instance refuses.
        QTest::newRow("external authentication") << ""
                                                 << ""
                                                 << "test" << kLoginFailure << 0 << 0;
        QTest::newRow("external authentication vouched for") << ""
                                                             << ""
                                                             << "wallet"
                                                             << "" << 0 << 0;
        QTest::newRow("unknown scenario")
            << "system"
            << "manager"
            << "nowhere"
            << "ORACLE Error\nORA-12154: TNS:could not resolve the connect identifier specified"
            << 0 << 0;
        const QString sysNeedsPrivilege =
            "ORACLE Error\nORA-28009: connection as SYS should be as SYSDBA or SYSOPER";
        const int sysDba = int(ConnectAs::SysDba);
        QTest::newRow("sys as SYSDBA") << "SYS"
                                       << "change_on_install"
                                       << "test"
                                       << "" << sysDba << 0;
        QTest::newRow("sys without a privilege") << "sys"
                                                 << "change_on_install"
                                                 << "test" << sysNeedsPrivilege << 0 << 0;
        QTest::newRow("system as SYSDBA")
            << "system"
            << "manager"
            << "test"
            << "ORACLE Error\nORA-01031: insufficient privileges" << sysDba << 0;
        QTest::newRow("the operating system's SYSDBA") << ""
                                                       << ""
                                                       << "test"
                                                       << "" << sysDba << 0;
        // The server has no password file: one message.
        QTest::newRow("SYSDBA refused")
            << "sys"
            << "change_on_install"
            << "test"
            << "ORACLE Error\nORA-01031: insufficient privileges" << sysDba << 1031;
        QTest::newRow("timed out during the log-on")
            << "system"
            << "manager"
            << "test"
            << "ORACLE Error\nORA-03136: inbound connection timed out" << 0 << 3136;
        QTest::newRow("no listener") << "system"
                                     << "manager"
                                     << "test"
                                     << "ORACLE Error\nORA-12541: TNS:no listener" << 0 << 12541;
    }

    void logOnOutcomes() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, scenario);
        QFETCH(QString, message);
        QFETCH(int, mode);
        QFETCH(int, planned);
        if (planned != 0) {
            sim::Controls::instance().failCall(Call::Logon, 1, planned);
        }
        MessageRecorder recorder;
        const int external = clientDoubleCount("nimbraFakeExternalSessions");
        const bool ok = LogOn(user.toUtf8().constData(), password.toUtf8().constData(),
                              testHost(scenario.toStdString()).c_str(), ConnectAs(mode));
        QCOMPARE(ok, message.isEmpty());
        QCOMPARE(IsLoggedOn(), ok);
        QCOMPARE(recorder.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QVERIFY(!TheConnection().connectionLost);
        if (ok && ConnectAs(mode) == ConnectAs::SysDba) {
            QCOMPARE(CountRows("sys.v_$session", ""), 12);
        }
        if (throughClient()) {
            QCOMPARE(clientDoubleCount("nimbraFakeExternalSessions") - external,
                     user.isEmpty() ? 1 : 0);
        }
    }

    // A warning that comes with the log-on is kept for the caller, never reported as a failure.
    void logOnWarningIsNoFailure() {
        sim::Controls::instance().warnAtNextLogon(sim::oraError(28002));
        MessageRecorder recorder;
        QVERIFY(logOnToTest());
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(IsPasswordExpiryWarning(TheConnection().logonWarningCode));
        QCOMPARE(TakeLogonWarning(),
                 std::string("ORA-28002: the password will expire within 7 days"));
        QCOMPARE(TakeLogonWarning(), std::string());
        QCOMPARE(CountRows("sys.v_$session", ""), 12);
    }

    // Past the call time limit a call fails with the client's message and one message for the
    // whole operation; the connection goes unless it still answers, and a kept one reports its
    // next failure again.
    void callTimeLimit_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("delay");
        QTest::addColumn<bool>("survives");
        QTest::addColumn<QString>("message");
        const QString timedOut =
            "ORACLE Error when processing OCI function OEXEC, OEXN\n"
            "ORA-03156: OCI call timed out";
        QTest::newRow("within the limit") << 1 << 20 << false << "";
        QTest::newRow("past the limit") << 1 << 5000 << false << timedOut;
        QTest::newRow("past the limit, the connection still answers")
            << 1 << 5000 << true
            << timedOut +
                   "\nThe database did not answer within the time limit of 1 second, so the call "
                   "was given up. The connection still answers and stays open.";
        QTest::newRow("no limit") << 0 << 20 << false << "";
    }
    void callTimeLimit() {
        QFETCH(int, limit);
        QFETCH(int, delay);
        QFETCH(bool, survives);
        QFETCH(QString, message);
        SetCallTimeoutSeconds(limit);
        QVERIFY(logOnToTest());
        sim::Controls::instance().delayCall(Call::Exec, 1, std::chrono::milliseconds(delay),
                                            survives);
        MessageRecorder recorder;
        const int count = CountRows("sys.v_$session", "");
        SetCallTimeoutSeconds(30);
        QCOMPARE(recorder.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(IsLoggedOn(), message.isEmpty() || survives);
        QVERIFY(!TheConnection().connectionLost || !survives);
        QCOMPARE(count, message.isEmpty() ? 12 : 0);
        if (IsLoggedOn()) {
            QCOMPARE(CountRows("sys.v_$session", ""), 12);
            sim::Controls::instance().failCall(Call::Exec, 1, 942);
            CountRows("sys.v_$session", "");
            QCOMPARE(recorder.messages.size(), message.isEmpty() ? 1 : 2);
        }
    }

    // The release of the server, read once at the log-on, decoded in the layout of its release.
    void serverRelease_data() {
        QTest::addColumn<QList<int>>("release");
        QTest::addColumn<QString>("banner");
        QTest::newRow("19c") << QList<int>{19, 21, 0, 0, 0}
                             << "Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - "
                                "Production\nVersion 19.21.0.0.0";
        QTest::newRow("23ai") << QList<int>{23, 5, 0, 24, 7}
                              << "Oracle Database 23ai Enterprise Edition Release 23.0.0.0.0 - "
                                 "Production\nVersion 23.5.0.24.07";
        QTest::newRow("11g") << QList<int>{11, 2, 0, 4, 0}
                             << "Oracle Database 11g Enterprise Edition Release 11.2.0.4.0 - "
                                "64bit Production";
    }
    void serverRelease() {
        QFETCH(QList<int>, release);
        QFETCH(QString, banner);
        auto setup = mixedScenario(1, 0);
        setup.release = {release[0], release[1], release[2], release[3], release[4]};
        sim::Controls::instance().defineScenario("release", setup);
        QVERIFY(LogOn("system", "manager", testHost("release").c_str()));
        const ServerRelease& read = ConnectedServerRelease();
        QCOMPARE(
            (QList<int>{read.major, read.minor, read.update, read.portRelease, read.portUpdate}),
            release);
        QCOMPARE(QString::fromStdString(read.banner), banner);
        LogOff();
        QVERIFY(!ConnectedServerRelease().Known());
    }

    // A client library older than release 18 cannot limit calls: said once, then calls go on.
    void olderClientSaysSoOnce() {
        if (!throughClient()) {
            QSKIP("the simulated instance is reached without a client library");
        }
        qputenv("NIMBRA_FAKE_CLIENT_RELEASE", "12");
        MessageRecorder recorder;
        const int asked = clientDoubleCount("nimbraFakeServerRelease2Calls");
        QVERIFY(logOnToTest());
        // OCIServerRelease2 needs release 18 too.
        QCOMPARE(clientDoubleCount("nimbraFakeServerRelease2Calls"), asked);
        QCOMPARE(ConnectedServerRelease().major, 19);
        LogOff();
        QVERIFY(logOnToTest());
        qunsetenv("NIMBRA_FAKE_CLIENT_RELEASE");
        QCOMPARE(recorder.messages.size(), 1);
        QVERIFY2(recorder.messages[0].startsWith("ORA-24315: illegal attribute type\n") &&
                     recorder.messages[0].contains("release 12.0; a time limit on calls to the "
                                                   "database needs release 18 or later"),
                 qPrintable(recorder.messages[0]));
        QCOMPARE(CountRows("sys.v_$session", ""), 12);
    }

    // A host string outside the simulation goes to the client library: without one (CTest names
    // a missing file) the message says what to install; the double knows no scenario "orcl".
    void clientHostFailsWithOneMessage() {
        // A long path makes the explanation longer than the classic message buffer.
        const QByteArray named = qgetenv("NIMBRA_OCI_LIBRARY");
        const QByteArray missing = "/opt/" + QByteArray(600, 'h') + "/libclntsh.so";
        if (!throughClient()) {
            qputenv("NIMBRA_OCI_LIBRARY", missing);
        }
        MessageRecorder recorder;
        QVERIFY(!LogOn("system", "manager", "orcl"));
        QVERIFY(!IsLoggedOn());
        QCOMPARE(recorder.messages.size(), 1);
        const QString& message = recorder.messages[0];
        if (throughClient()) {
            QCOMPARE(message, QString("ORACLE Error\nORA-12154: TNS:could not resolve the connect "
                                      "identifier specified"));
        } else {
            QVERIFY2(message.startsWith("ORACLE Error\nORA-03121: "), qPrintable(message));
            QVERIFY2(message.contains("NIMBRA_OCI_LIBRARY") &&
                         message.contains("Install Oracle Instant Client (Basic or Basic Light)"),
                     qPrintable(message));
            // Whole, to its last sentence.
            QVERIFY(message.contains(QString::fromLatin1(missing)));
            QVERIFY2(message.endsWith("use the host string sim:demo."), qPrintable(message));
        }
        qputenv("NIMBRA_OCI_LIBRARY", named);
        // A later log-on to the built-in instance still works.
        QVERIFY(LogOn("system", "manager", "sim:test"));
    }

    void logOffWhileLoggedOffCallsNothing() {
        const int before = sim::Controls::instance().roundTrips();
        sim::Controls::instance().failCall(Call::Logoff, 1, 3113);
        MessageRecorder recorder;
        const QByteArray out = captureStdout([] { LogOff(); });
        QCOMPARE(sim::Controls::instance().roundTrips(), before);
        QCOMPARE(out, QByteArray());
        QVERIFY(recorder.messages.isEmpty());
    }

    void failedLogOffPrintsOneLineAndNoBox() {
        QVERIFY(logOnToTest());
        sim::Controls::instance().failCall(Call::Logoff, 1, 3113);
        MessageRecorder recorder;
        const QByteArray out = captureStdout([] { LogOff(); });
        QCOMPARE(out, QByteArray("Error on disconnect.\n"));
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(!IsLoggedOn());
        QVERIFY(logOnToTest());
    }

    // A failure in any step of a statement shows one message naming that call, drops the
    // connection, lets the operation finish and leaves nothing open.
    void failingWrapperReportsAndDrops_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("firstMessage");
        const QString invalid = "ORA-01001: invalid cursor";
        const QString function = "ORACLE Error when processing OCI function ";
        QTest::newRow("open") << int(Call::Open) << 1001 << function + "OOPEN\n" + invalid;
        QTest::newRow("parse") << int(Call::Parse) << 1001 << function + "OPARSE\n" + invalid;
        QTest::newRow("define") << int(Call::Define) << 1001 << function + "ODEFIN\n" + invalid;
        QTest::newRow("execute") << int(Call::Exec) << 1001 << function + "OEXEC, OEXN\n" + invalid;
        QTest::newRow("close") << int(Call::Close) << 1001 << function + "OCLOSE\n" + invalid;
        // The number travels in 16 bits; read back signed it would name ORA--27507.
        QTest::newRow("an error number above 32767")
            << int(Call::Exec) << 38029
            << function +
                   "OEXEC, OEXN\nORA-38029: Message 38029 not found; product=RDBMS; "
                   "facility=ORA";
    }
    void failingWrapperReportsAndDrops() {
        QFETCH(int, call);
        QFETCH(int, code);
        QFETCH(QString, firstMessage);
        if (!failureCanCome(Call(call), false)) {
            QSKIP("the client library fails no such call with a server error");
        }
        QVERIFY(logOnToTest());
        sim::Controls::instance().failCall(static_cast<Call>(call), 1, code);
        MessageRecorder recorder;
        const int count = CountRows("sys.v_$session", "");
        QCOMPARE(count, call == int(Call::Close) ? 12 : 0);
        QVERIFY(!recorder.messages.isEmpty());
        QCOMPARE(recorder.messages.first(), firstMessage);
        for (const QString& m : recorder.messages) {
            QVERIFY2(m.startsWith("ORACLE Error when processing OCI function "), qPrintable(m));
        }
        QVERIFY(!IsLoggedOn());
        QCOMPARE(sim::Controls::instance().openCursors(), 0);
        QVERIFY(logOnToTest());
    }

    // A worker thread's connection is its own: both run at once, its log-on tells no observer,
    // and its failures go to its owner without touching the main connection.
    void workerConnectionIsItsOwn() {
        QVERIFY(logOnToTest());
        int notified = 0;
        const int observer = AddConnectionObserver([&notified] { ++notified; });
        MessageRecorder recorder;
        std::vector<std::string> workerMessages;
        const auto onWorker = [&workerMessages](const std::function<void()>& work) {
            std::thread([&] {
                OracleConnection own;
                own.messageSink = [&](const std::string& m) { workerMessages.push_back(m); };
                const ConnectionInUse use(own);
                if (logOnToTest()) {
                    work();
                }
                LogOff();
            }).join();
        };
        int workerCounted = 0;
        std::thread concurrent([&] {
            onWorker([&] {
                for (int i = 0; i < 100; ++i) {
                    workerCounted += CountRows("sys.v_$session", "") > 0;
                }
            });
        });
        int mainCounted = 0;
        for (int i = 0; i < 100; ++i) {
            mainCounted += CountRows("sys.v_$session", "") > 0;
        }
        concurrent.join();
        QCOMPARE(mainCounted, 100);
        QCOMPARE(workerCounted, 100);
        bool workerDropped = false;
        onWorker([&workerDropped] {
            sim::Controls::instance().failCall(Call::Exec, 1, 3113);
            CountRows("sys.v_$session", "");
            workerDropped = !IsLoggedOn();
        });
        QVERIFY(workerDropped);
        RemoveConnectionObserver(observer);
        QCOMPARE(int(workerMessages.size()), 1);
        QVERIFY(workerMessages[0].find("ORA-03113") != std::string::npos);
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(notified, 0);
        QVERIFY(IsLoggedOn());
        QVERIFY(CountRows("sys.v_$session", "") > 0);
    }

    // The worker runs its job at its interval, counts a lost connection without a word to the
    // window, and logs on again by itself.
    void workerConnectionComesBack() {
        QVERIFY(logOnToTest());
        int notified = 0;
        const int observer = AddConnectionObserver([&notified] { ++notified; });
        MessageRecorder recorder;
        std::atomic<int> counted = 0;
        std::mutex lock;
        std::vector<std::string> told;
        {
            WorkerConnection worker(
                {"system", "manager", testHost("test"), ConnectAs::Normal},
                {std::chrono::milliseconds(5), std::chrono::milliseconds(5),
                 std::chrono::milliseconds(20)},
                [&counted] { counted = CountRows("sys.v_$session", ""); },
                [&](const std::string& message) {
                    const std::scoped_lock hold(lock);
                    told.push_back(message);
                });
            QTRY_VERIFY_WITH_TIMEOUT(worker.Runs() >= 3, 20000);
            QVERIFY(counted > 0);
            sim::Controls::instance().failCall(Call::Exec, 1, 3113);
            QTRY_VERIFY_WITH_TIMEOUT(worker.Failures() == 1, 20000);
            const int runsAfterLoss = worker.Runs();
            QTRY_VERIFY_WITH_TIMEOUT(worker.Runs() > runsAfterLoss + 2 && worker.LoggedOn(), 20000);
            QCOMPARE(worker.Failures(), 1);
        }
        RemoveConnectionObserver(observer);
        QCOMPARE(int(told.size()), 1);
        QVERIFY(told[0].find("ORA-03113") != std::string::npos);
        QVERIFY(recorder.messages.isEmpty());
        QCOMPARE(notified, 0);
        QVERIFY(IsLoggedOn());
    }

    void executeFetchOutcomes_data() {
        QTest::addColumn<int>("existing");
        QTest::addColumn<int>("wanted");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("delivered");
        QTest::addColumn<int>("code");
        QTest::newRow("fewer exist") << 7 << 10 << false << 7 << 1403;
        QTest::newRow("more exist") << 12 << 10 << true << 10 << 1422;
        QTest::newRow("exactly") << 10 << 10 << true << 10 << 0;
        QTest::newRow("none wanted, none there") << 0 << 0 << true << 0 << 0;
    }
    void executeFetchOutcomes() {
        QFETCH(int, existing);
        QFETCH(int, wanted);
        QFETCH(bool, result);
        QFETCH(int, delivered);
        QFETCH(int, code);
        sim::Controls::instance().defineScenario("sized", mixedScenario(existing, 0));
        QVERIFY(LogOn("system", "manager", testHost("sized").c_str()));
        MessageRecorder recorder;
        std::vector<sb4> sids(static_cast<std::size_t>(std::max(wanted, 1)), -7);
        std::vector<sb2> indicators(sids.size(), 0);
        OracleCursor cursor;
        OpenCursor(cursor);
        ParseStatement(cursor, "SELECT sid FROM sys.v_$session ORDER BY sid");
        DefineColumn(cursor, 1, sids.data(), sizeof(sb4), kExtInteger, indicators.data());
        ub4 rows = static_cast<ub4>(wanted);
        QCOMPARE(ExecuteFetch(cursor, rows), result);
        QCOMPARE(int(rows), delivered);
        QCOMPARE(int(LastErrorCode(cursor)), code);
        CloseCursor(cursor);
        for (int i = 0; i < delivered; ++i) {
            QCOMPARE(sids[static_cast<std::size_t>(i)], i + 1);
        }
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(IsLoggedOn());
    }

    void executeFetchOtherFailureReports() {
        QVERIFY(logOnToTest());
        sim::Controls::instance().failCall(Call::ExecFetch, 1, 3113);
        MessageRecorder recorder;
        sb4 sid = 0;
        sb2 indicator = 0;
        OracleCursor cursor;
        OpenCursor(cursor);
        ParseStatement(cursor, "SELECT sid FROM sys.v_$session");
        DefineColumn(cursor, 1, &sid, sizeof sid, kExtInteger, &indicator);
        ub4 rows = 1;
        QVERIFY(ExecuteFetch(cursor, rows));
        QCOMPARE(rows, ub4(0));
        CloseCursor(cursor);
        QVERIFY(!recorder.messages.isEmpty());
        QCOMPARE(recorder.messages.first(),
                 QString("ORACLE Error when processing OCI function OEXFET\n"
                         "ORA-03113: end-of-file on communication channel"));
        QVERIFY(!IsLoggedOn());
    }

    void countRowsSendsExactText_data() {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<int>("count");
        QTest::newRow("no condition") << ""
                                      << "SELECT count(*) FROM sys.v_$session" << 12;
        QTest::newRow("condition") << "sid > 10"
                                   << "SELECT count(*) FROM sys.v_$session WHERE sid > 10" << 2;
    }
    void countRowsSendsExactText() {
        QFETCH(QString, condition);
        QFETCH(QString, sent);
        QFETCH(int, count);
        QVERIFY(logOnToTest());
        sim::Controls::instance().clearStatementLog();
        QCOMPARE(CountRows("sys.v_$session", condition.toStdString()), count);
        const std::vector<std::string> expected = {sent.toStdString()};
        QCOMPARE(sim::Controls::instance().statementLog(), expected);
    }

    void canSelectFromIsSilent_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("system, sessions") << "system"
                                          << "sys.v_$session" << true;
        QTest::newRow("system, sql text") << "system"
                                          << "sys.v_$sqltext" << true;
        QTest::newRow("monitor, sessions") << "monitor"
                                           << "sys.v_$session" << true;
        QTest::newRow("monitor, sql text") << "monitor"
                                           << "sys.v_$sqltext" << false;
        QTest::newRow("scott, sessions") << "scott"
                                         << "sys.v_$session" << false;
        QTest::newRow("no such table") << "system"
                                       << "sys.no_such_view" << false;
    }
    void canSelectFromIsSilent() {
        QFETCH(QString, user);
        QFETCH(QString, table);
        QFETCH(bool, allowed);
        const QByteArray password = user == "system"  ? "manager"
                                    : user == "scott" ? "tiger"
                                                      : "monitor";
        QVERIFY(LogOn(user.toUtf8().constData(), password.constData(), testHost("test").c_str()));
        sim::Controls::instance().clearStatementLog();
        MessageRecorder recorder;
        QCOMPARE(CanSelectFrom(table.toStdString()), allowed);
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(IsLoggedOn());
        QCOMPARE(sim::Controls::instance().openCursors(), 0);
        const std::vector<std::string> expected = {"SELECT 0 FROM " + table.toStdString() +
                                                   " WHERE 1 = 0"};
        QCOMPARE(sim::Controls::instance().statementLog(), expected);
    }

    void functionNames_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << "not used";
        QTest::newRow("4") << 4 << "OEXEC, OEXN";
        QTest::newRow("12") << 12 << "OFETCH, OFEN";
        QTest::newRow("34") << 34 << "OOPT";
        QTest::newRow("52") << 52 << "OCAN";
        QTest::newRow("56") << 56 << "OEXFET";
        QTest::newRow("61") << 61 << "not used";
        QTest::newRow("62") << 62 << "OBNDRA";
        QTest::newRow("66") << 66 << "OSETPI";
        QTest::newRow("67 has no entry") << 67 << "unknown";
        QTest::newRow("255 has no entry") << 255 << "unknown";
    }
    void functionNames() {
        QFETCH(int, code);
        QFETCH(QString, name);
        QCOMPARE(QString(OciFunctionName(static_cast<unsigned>(code))), name);
        int named = 0;
        for (const char* n : OciFunctionNames) {
            named += QString(n) != "not used" ? 1 : 0;
        }
        QCOMPARE(named, 24);
    }
};

QTEST_GUILESS_MAIN(tst_Database)
#include "tst_db.moc"
