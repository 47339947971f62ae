// The refresh cycle over a recording list and the simulated instance: the order of its steps
// against the database, its timer, and what a failure leaves behind.

#include <QRegularExpression>
#include <QtTest>

#include "ConnectionTexts.h"
#include "DatabaseShape.h"
#include "DbTestSupport.h"
#include "RefreshCycle.h"

namespace {
const QString kCollecting = QStringLiteral("Collection session information...");

std::size_t statementsSent() {
    return sim::Controls::instance().statementLog().size();
}

// Records every call with the number of statements the instance had received at that moment.
class RecordingPort : public SessionListPort {
public:
    struct Event {
        QString what;
        std::size_t sent;
    };
    std::vector<Event> events;
    std::vector<QStringList> rows;
    QString status = QStringLiteral("Ready");
    QString count;
    int waitDepth = 0;
    int timerIdToGive = 10010;

    QStringList steps() const {
        QStringList out;
        for (const Event& e : events) {
            out << e.what;
        }
        return out;
    }
    std::size_t sentAt(const QString& what) const {
        for (const Event& e : events) {
            if (e.what == what) {
                return e.sent;
            }
        }
        return std::size_t(-1);
    }

    void ShowSessions(SessionList shown) override {
        note(QString("show %1").arg(shown.rows.size()));
        rows.clear();
        for (const SessionRow& r : shown.rows) {
            QStringList row;
            for (const std::string& text : r.values) {
                row << QString::fromStdString(text);
            }
            rows.push_back(row);
        }
    }
    std::vector<SessionRow> SelectedSessions() const override { return {}; }
    int SetTimer(int milliseconds) override {
        note(QString("set timer %1").arg(milliseconds));
        return timerIdToGive;
    }
    void KillTimer(int id) override { note(QString("kill timer %1").arg(id)); }
    void SetStatusText(const QString& text) override {
        note("status " + text);
        status = text;
    }
    void ShowSessionCount(const QString& text) override {
        note("count " + text);
        count = text;
    }
    void BeginWaitCursor() override {
        note("wait on");
        ++waitDepth;
    }
    void EndWaitCursor() override {
        note("wait off");
        --waitDepth;
    }

private:
    void note(const QString& what) { events.push_back({what, statementsSent()}); }
};

// What the database is made of is read once per log-on, before the refreshes counted here.
void logOn(const char* scenario) {
    QVERIFY(LogOn("system", "manager", scenario));
    ConnectedDatabaseShape();
    sim::Controls::instance().clearStatementLog();
}

QStringList rowOf(const char* user, int sid) {
    return {user,     QString::number(sid), QString::number(100 + sid),  "INACTIVE",
            "oracle", "dbhost01",           "sqlplus@client (TNS V1-V3)"};
}
}  // namespace

class tst_RefreshCycle : public QObject {
    Q_OBJECT

private slots:
    void init() {
        resetDatabase();
        sim::Controls::instance().defineScenario("three", mixedScenario(3, 1));
    }
    void cleanup() {
        SetMessageSink({});
        VerifyNoCursorOpen();
        LogOff();
        QCOMPARE(sim::Controls::instance().openCursors(), 0);
    }

    void refreshSteps_data() {
        QTest::addColumn<bool>("loggedOn");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QStringList>("expected");
        const QString begin = "status " + kCollecting;
        QTest::newRow("logged on, 15 seconds")
            << true << 15
            << QStringList{begin,      "kill timer 10010", "wait on",          "show 2",
                           "wait off", "set timer 15000",  "count 2 sessions", "status "};
        QTest::newRow("logged on, no interval")
            << true << 0
            << QStringList{begin, "wait on", "show 2", "wait off", "count 2 sessions", "status "};
        QTest::newRow("logged off, 15 seconds")
            << false << 15
            << QStringList{
                   begin,    "kill timer 10010", "show 0", "set timer 15000", "count Not connected",
                   "status "};
        QTest::newRow("logged off, no interval")
            << false << 0 << QStringList{begin, "show 0", "count Not connected", "status "};
    }
    void refreshSteps() {
        QFETCH(bool, loggedOn);
        QFETCH(int, seconds);
        QFETCH(QStringList, expected);
        if (loggedOn) {
            logOn("sim:three");
        }
        RecordingPort port;
        port.rows.push_back(rowOf("OLD", 9));
        RefreshCycle cycle(port, seconds, false);
        cycle.StartRefreshTimer();
        port.events.clear();

        cycle.RefreshList();

        QCOMPARE(port.steps(), expected);
        // Nothing reaches the database before the progress text and the stopped timer, the rows
        // on screen are replaced once all have come, and the timer's interval starts only after
        // the last statement.
        QCOMPARE(port.sentAt("status " + kCollecting), std::size_t(0));
        QCOMPARE(port.sentAt(expected[expected.indexOf(QRegularExpression("show .*"))]),
                 statementsSent());
        QCOMPARE(port.sentAt(expected.last()), statementsSent());
        if (seconds != 0) {
            QCOMPARE(port.sentAt("kill timer 10010"), std::size_t(0));
            QCOMPARE(port.sentAt("set timer 15000"), statementsSent());
        }
        QCOMPARE(statementsSent(), std::size_t(loggedOn ? 2 : 0));
        QCOMPARE(port.count, loggedOn ? QString("2 sessions") : QString("Not connected"));
        QCOMPARE(port.status, QString());
        QCOMPARE(port.waitDepth, 0);
        QCOMPARE(cycle.TimerId(), seconds != 0 ? 10010 : 0);
        const std::vector<QStringList> listed =
            loggedOn ? std::vector<QStringList>{rowOf("USER02", 2), rowOf("USER03", 3)}
                     : std::vector<QStringList>{};
        QCOMPARE(port.rows, listed);
    }

    void rowsInFetchOrder_data() {
        QTest::addColumn<bool>("showSystem");
        QTest::addColumn<QStringList>("users");
        QTest::newRow("users only") << false << QStringList{"USER02", "USER03"};
        QTest::newRow("all sessions") << true << QStringList{"USER02", "USER03", ""};
    }
    void rowsInFetchOrder() {
        QFETCH(bool, showSystem);
        QFETCH(QStringList, users);
        logOn("sim:three");
        RecordingPort port;
        RefreshCycle cycle(port, 0, showSystem);
        cycle.RefreshList();

        QStringList listed;
        for (const QStringList& row : port.rows) {
            listed << row[0];
        }
        QCOMPARE(listed, users);
        QCOMPARE(port.rows.back()[1], showSystem ? QString("1") : QString("3"));
        QCOMPARE(port.count, QString("%1 sessions").arg(users.size()));
    }

    void ticks_data() {
        QTest::addColumn<bool>("loggedOn");
        QTest::addColumn<int>("idOffset");
        QTest::addColumn<bool>("refreshes");
        QTest::newRow("own tick while logged on") << true << 0 << true;
        QTest::newRow("own tick while logged off") << false << 0 << false;
        QTest::newRow("foreign tick while logged on") << true << 1 << false;
        QTest::newRow("foreign tick while logged off") << false << -7 << false;
    }
    void ticks() {
        QFETCH(bool, loggedOn);
        QFETCH(int, idOffset);
        QFETCH(bool, refreshes);
        if (loggedOn) {
            logOn("sim:three");
        }
        RecordingPort port;
        port.timerIdToGive = 42;
        port.rows.push_back(rowOf("OLD", 9));
        RefreshCycle cycle(port, 5, false);
        cycle.StartRefreshTimer();
        port.events.clear();

        cycle.OnTimer(42 + idOffset);

        if (refreshes) {
            QCOMPARE(port.steps().first(), "status " + kCollecting);
            QCOMPARE(port.rows.size(), std::size_t(2));
        } else {
            QVERIFY(port.events.empty());
            QCOMPARE(port.status, QString("Ready"));
            QCOMPARE(port.rows, std::vector<QStringList>{rowOf("OLD", 9)});
            QCOMPARE(statementsSent(), std::size_t(0));
        }
        QCOMPARE(cycle.TimerId(), 42);
    }

    void stoppedTimerIgnoresItsOldTicks() {
        logOn("sim:three");
        RecordingPort port;
        RefreshCycle cycle(port, 5, false);
        cycle.StartRefreshTimer();
        cycle.StopRefreshTimer();
        port.events.clear();
        cycle.OnTimer(10010);
        QVERIFY(port.events.empty());
    }

    void timerStartAndStop() {
        RecordingPort port;
        RefreshCycle cycle(port, 2, false);
        cycle.StopRefreshTimer();
        cycle.StartRefreshTimer();
        cycle.StartRefreshTimer();
        QCOMPARE(port.steps(), QStringList{"set timer 2000"});
        cycle.StopRefreshTimer();
        cycle.StopRefreshTimer();
        QCOMPARE(port.steps(), (QStringList{"set timer 2000", "kill timer 10010"}));
        QCOMPARE(cycle.TimerId(), 0);

        // A timer that could not be started is tried again by the next start.
        port.timerIdToGive = 0;
        cycle.StartRefreshTimer();
        QCOMPARE(cycle.TimerId(), 0);
        port.timerIdToGive = 10010;
        cycle.StartRefreshTimer();
        QCOMPARE(cycle.TimerId(), 10010);
    }

    void failingStatement_data() {
        QTest::addColumn<int>("call");
        QTest::addColumn<QString>("message");
        QTest::newRow("count") << int(sim::Call::Exec)
                               << "ORACLE Error when processing OCI function OEXEC, OEXN\n"
                                  "ORA-03113: end-of-file on communication channel";
        QTest::newRow("list") << int(sim::Call::ExecFetch)
                              << "ORACLE Error when processing OCI function OEXFET\n"
                                 "ORA-03113: end-of-file on communication channel";
    }
    void failingStatement() {
        QFETCH(int, call);
        QFETCH(QString, message);
        logOn("sim:three");
        RecordingPort port;
        RefreshCycle cycle(port, 15, false);
        cycle.StartRefreshTimer();
        QStringList shown;
        SetMessageSink([&](const std::string& text) {
            // Shown while the progress text and the wait cursor are up.
            QCOMPARE(port.status, kCollecting);
            QCOMPARE(port.waitDepth, 1);
            shown << QString::fromStdString(text);
        });
        sim::Controls::instance().failCall(sim::Call(call), 1, 3113);

        cycle.RefreshList();

        QCOMPARE(shown, QStringList{message});
        QVERIFY(!IsLoggedOn());
        QCOMPARE(port.steps().mid(port.steps().size() - 3),
                 (QStringList{"set timer 15000", "count Not connected",
                              "status " + ConnectionLostText()}));
        QCOMPARE(port.waitDepth, 0);
        QCOMPARE(cycle.TimerId(), 10010);

        // Logged off now: ticks do nothing, and a refresh empties the list.
        port.rows.push_back(rowOf("OLD", 9));
        port.events.clear();
        cycle.OnTimer(10010);
        QVERIFY(port.events.empty());
        cycle.RefreshList();
        QVERIFY(port.rows.empty());
    }
};

QTEST_GUILESS_MAIN(tst_RefreshCycle)
#include "tst_refresh.moc"
