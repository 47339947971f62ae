// The activity history (its file, its writers, its queries), the sample of the simulated demo's
// lock storm, and nimbra-sessions --activity.

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <thread>

#include "ActivityHistory.h"
#include "ActivityReport.h"
#include "DatabaseIdentity.h"
#include "DbTestSupport.h"
#include "HistorySchema.h"
#include "TextRows.h"

namespace {
constexpr std::int64_t kT = 1800000000;  // a whole hour
// Five seconds before the demo's lock storm begins; the instance starts then.
constexpr std::int64_t kBeforeStorm = 1709650075;

ActivitySample busy(int sid, const std::string& waitClass, const std::string& sqlId = {},
                    const std::string& event = {}) {
    ActivitySample s;
    s.sid = sid;
    s.serial = 100 + sid;
    s.user = "APP";
    s.sqlId = sqlId;
    s.event = event;
    s.waitClass = waitClass;
    s.program = "JDBC Thin Client";
    return s;
}

std::unique_ptr<ActivityHistory> openHistory(const QString& path) {
    ActivityHistory::Opening opening = ActivityHistory::Open(path, HistoryAccess::Write);
    [&] { QVERIFY2(opening.message.isEmpty(), qPrintable(opening.message)); }();
    return std::move(opening.history);
}

// Each sample of the list at its time, written in one batch.
void write(ActivityHistory& history, const std::vector<std::int64_t>& times,
           const std::vector<ActivitySample>& sessions) {
    for (std::int64_t time : times) {
        history.Append(time, sessions);
    }
    QString message;
    QVERIFY(history.Flush(message));
}

std::vector<std::int64_t> seconds(std::int64_t from, int count) {
    std::vector<std::int64_t> times;
    for (int i = 0; i < count; ++i) {
        times.push_back(from + i);
    }
    return times;
}

int mode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}
}  // namespace

class tst_Activity : public QObject {
    Q_OBJECT

    QTemporaryDir* m_data = nullptr;
    QString m_path;

private slots:
    void init() {
        m_data = new QTemporaryDir;
        qputenv("XDG_DATA_HOME", m_data->path().toUtf8());
        m_path = HistoryFolder() + "/activity-1-1.sqlite";
        resetDatabase();
    }
    void cleanup() {
        resetDatabase();
        delete m_data;
    }

    // Whole minutes are answered from the counts kept per minute, also in a file an older Nimbra
    // wrote before it kept them, as the samples themselves answer any other range.
    void topListsByMinuteAsBySample() {
        {
            const auto history = openHistory(m_path);
            write(*history, seconds(kT + 1, 100), {busy(1, kOnCpu, "a1"), busy(2, kOnCpu, "b2")});
            write(*history, seconds(kT + 101, 60), {busy(3, "User I/O", "b2")});
        }
        {
            HistoryDatabase db;
            db.Open(m_path, false);
            QCOMPARE(db.Exec("DROP TABLE minute_sql; DROP TABLE minute_session; "
                             "PRAGMA user_version = 1"),
                     SQLITE_OK);
        }
        const auto history = openHistory(m_path);
        const auto keys = [](const std::vector<TopEntry>& entries) {
            QStringList texts;
            for (const TopEntry& e : entries) {
                texts
                    << QString("%1 %2 %3").arg(e.key.c_str()).arg(e.count).arg(e.share, 0, 'f', 3);
            }
            return texts;
        };
        for (TopBy by : {TopBy::Sql, TopBy::Session}) {
            const QStringList byMinute = keys(history->Top(by, {kT, kT + 180}, 10));
            QCOMPARE(byMinute, keys(history->Top(by, {kT + 1, kT + 179}, 10)));
            QCOMPARE(byMinute.size(), by == TopBy::Sql ? 2 : 3);
        }
        QCOMPARE(keys(history->Top(TopBy::Sql, {kT, kT + 180}, 1)), QStringList("b2 160 0.615"));
    }

    void historySurvivesRestart() {
        write(*openHistory(m_path), seconds(kT, 4),
              {busy(1, kOnCpu, "a1"), busy(2, "User I/O", "a1", "db file sequential read")});
        const auto history = openHistory(m_path);
        QCOMPARE(history->SampleTimes({kT, kT + 60}), seconds(kT, 4));
        const std::vector<ActivityBucket> buckets = history->ActiveByClass({kT, kT + 60}, 60);
        QCOMPARE(buckets.size(), std::size_t(1));
        QCOMPARE(buckets[0].samples, 4);
        QCOMPARE(buckets[0].classes.size(), std::size_t(2));
        QCOMPARE(buckets[0].classes[0].waitClass, std::string(kOnCpu));
        QCOMPARE(buckets[0].classes[1].averageActive, 1.0);
        QCOMPARE(mode(m_path), 0600);
        QCOMPARE(mode(HistoryFolder()), 0700);
    }

    void unusableFileMovedAside_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("message");
        QTest::newRow("damaged") << QByteArray(8192, 'x') << "damaged"
                                 << "The activity history %1 is damaged. It was moved to %2 and "
                                    "a new history was started.";
        QTest::newRow("newer") << QByteArray() << "newer"
                               << "The activity history %1 was written by a newer Nimbra. It "
                                  "was moved to %2 and a new history was started.";
    }
    void unusableFileMovedAside() {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QFETCH(QString, message);
        openHistory(m_path);
        if (content.isEmpty()) {
            HistoryDatabase db;
            db.Open(m_path, false);
            const std::string newer =
                "PRAGMA user_version = " + std::to_string(kHistorySchemaVersion + 1);
            QCOMPARE(db.Exec(newer.c_str()), SQLITE_OK);
        } else {
            QFile file(m_path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
        }
        const ActivityHistory::Opening opening =
            ActivityHistory::Open(m_path, HistoryAccess::Write);
        QVERIFY(opening.history);
        const QStringList aside =
            QDir(HistoryFolder()).entryList({"activity-1-1.sqlite." + reason + "-*"});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(opening.message, message.arg(m_path, HistoryFolder() + "/" + aside[0]));
        QVERIFY(opening.history->SampleTimes({0, kT}).empty());
        QCOMPARE(mode(m_path), 0600);
    }

    void pruningKeepsTheLastDays() {
        const auto history = openHistory(m_path);
        write(*history, {kT - 8 * 86400, kT - 6 * 86400, kT}, {busy(1, "Commit")});
        QCOMPARE(PruneHistory(m_path, 7, kT), 1);
        QCOMPARE(history->SampleTimes({0, kT + 1}),
                 (std::vector<std::int64_t>{kT - 6 * 86400, kT}));
        QCOMPARE(history->ActiveByClass({0, kT + 1}, 3600).size(), std::size_t(2));
        QCOMPARE(PruneHistory(m_path, 7, kT), 0);
    }

    // Two windows on one database: every sample of both is kept.
    void twoWritersLoseNothing() {
        openHistory(m_path);
        const auto writer = [this](std::int64_t from) {
            const auto history = ActivityHistory::Open(m_path, HistoryAccess::Write).history;
            for (int i = 0; i < 150; ++i) {
                history->Append(from + i, {busy(1, kOnCpu, "s" + std::to_string(i))});
                QString message;
                history->Flush(message);
            }
        };
        std::thread first(writer, kT), second(writer, kT + 1000);
        first.join();
        second.join();
        QCOMPARE(openHistory(m_path)->SampleTimes({kT, kT + 2000}).size(), std::size_t(300));
    }

    void fullDiskKeepsSamplesInMemory() {
        const auto history = openHistory(m_path);
        write(*history, {kT}, {busy(1, kOnCpu)});
        history->LimitPages(2);
        std::vector<ActivitySample> many;
        for (int sid = 1; sid <= 200; ++sid) {
            many.push_back(busy(sid, "User I/O", "q" + std::to_string(sid), "direct path read"));
        }
        history->Append(kT + 1, many);
        QString message;
        QVERIFY(!history->Flush(message));
        QCOMPARE(message, "The disk of the activity history " + m_path +
                              " is full. Samples are kept in memory until it has room again.");
        history->Append(kT + 2, many);
        QVERIFY(!history->Flush(message));
        QVERIFY(message.isEmpty());
        QCOMPARE(history->PendingSamples(), std::size_t(2));
        history->LimitPages(1 << 20);
        QVERIFY(history->Flush(message));
        QCOMPARE(history->SampleTimes({kT, kT + 3}), seconds(kT, 3));
        QCOMPARE(history->Top(TopBy::Sql, {kT, kT + 3}, 1000).size(), std::size_t(200));
    }

    void topListsWithShares_data() {
        QTest::addColumn<int>("by");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QList<double>>("shares");
        QTest::newRow("sql") << int(TopBy::Sql) << QStringList{"hot", "cold"}
                             << QList<double>{0.6, 0.2};
        QTest::newRow("session") << int(TopBy::Session) << QStringList{"7,107", "8,108", "9,109"}
                                 << QList<double>{0.4, 0.4, 0.2};
        QTest::newRow("event") << int(TopBy::Event)
                               << QStringList{"enq: TX - row lock contention", "ON CPU"}
                               << QList<double>{0.6, 0.4};
    }
    void topListsWithShares() {
        QFETCH(int, by);
        QFETCH(QStringList, keys);
        QFETCH(QList<double>, shares);
        const auto history = openHistory(m_path);
        const ActivitySample waiter =
            busy(7, "Application", "hot", "enq: TX - row lock contention");
        ActivitySample blocked = waiter;
        blocked.sid = 8;
        blocked.serial = 108;
        write(*history, {kT}, {waiter, busy(8, kOnCpu)});
        write(*history, {kT + 1}, {waiter});
        write(*history, {kT + 2}, {busy(9, kOnCpu, "cold")});
        write(*history, {kT + 3}, {blocked});
        const std::vector<TopEntry> top = history->Top(TopBy(by), {kT, kT + 4}, 10);
        QCOMPARE(int(top.size()), keys.size());
        for (std::size_t i = 0; i < top.size(); ++i) {
            QCOMPARE(QString::fromStdString(top[i].key), keys[int(i)]);
            QCOMPARE(top[i].share, shares[int(i)]);
            QCOMPARE(top[i].averageActive, top[i].share * 5 / 4);
        }
    }

    // A stretch without samples has no bucket; a sample of an idle instance is a zero.
    void gapsAreNotZeros() {
        const auto history = openHistory(m_path);
        write(*history, seconds(kT, 20), {busy(1, kOnCpu)});
        write(*history, seconds(kT + 40, 10), {});
        write(*history, seconds(kT + 100, 10), {busy(1, kOnCpu), busy(2, kOnCpu)});
        std::vector<std::pair<std::int64_t, double>> shown;
        for (const ActivityBucket& bucket : history->ActiveByClass({kT, kT + 120}, 10)) {
            QCOMPARE(bucket.samples, 10);
            shown.emplace_back(bucket.start,
                               bucket.classes.empty() ? 0 : bucket.classes[0].averageActive);
        }
        QCOMPARE(shown, (std::vector<std::pair<std::int64_t, double>>{
                            {kT, 1}, {kT + 10, 1}, {kT + 40, 0}, {kT + 100, 2}}));
        QCOMPARE(history->SampleTimes({kT + 15, kT + 45}).size(), std::size_t(10));
    }

    void identityOfTheDatabase_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("cpus");
        QTest::newRow("demo") << "system"
                              << "demo"
                              << "activity-2882471938-1.sqlite"
                              << "8";
        QTest::newRow("large") << "system"
                               << "large"
                               << "activity-1614820717-1.sqlite"
                               << "64";
        QTest::newRow("no catalog rights") << "monitor"
                                           << "demo"
                                           << ""
                                           << "";
    }
    void identityOfTheDatabase() {
        QFETCH(QString, user);
        QFETCH(QString, scenario);
        QFETCH(QString, file);
        QFETCH(QString, cpus);
        MessageRecorder recorder;
        QVERIFY(LogOn(qPrintable(user), qPrintable(user == "system" ? "manager" : user),
                      qPrintable("sim:" + scenario)));
        const std::optional<DatabaseIdentity> identity = ReadDatabaseIdentity();
        QCOMPARE(identity ? HistoryFileName(*identity) : QString(), file);
        if (!identity) {
            QCOMPARE(recorder.messages,
                     QStringList("ORACLE Error when processing OCI function OEXFET\n"
                                 "ORA-00942: table or view does not exist"));
            return;
        }
        QCOMPARE(identity->name, "SIM");
        QCOMPARE(identity->instanceName, "sim");
        const auto read = FetchTextRows(
            "SELECT p.value, o.value FROM sys.v_$parameter p, sys.v_$osstat o "
            "WHERE p.name = 'cpu_count' AND o.stat_name = 'NUM_CPUS'",
            {8, 8}, 2, 0);
        QCOMPARE(read->at(0), (std::vector<std::string>{cpus.toStdString(), cpus.toStdString()}));
    }

    // The demo's lock storm: waiters on a hot row in class Application, held up by a session
    // running the very statement they wait to run.
    void lockStormTopsTheSamples() {
        sim::Controls::instance().setFixedTime(kBeforeStorm);
        QVERIFY(LogOn("system", "manager", "sim:demo"));
        const auto history = openHistory(m_path);
        std::string blockerSql;
        for (int second = 20; second < 50; ++second) {
            sim::Controls::instance().setFixedTime(kBeforeStorm + second);
            const auto sample = TakeActivitySample(kBeforeStorm + second);
            QVERIFY(sample);
            history->Append(kBeforeStorm + second, *sample);
            for (const ActivitySample& s : *sample) {
                QVERIFY(s.waitClass != "Idle");
                if (s.blockingSession == 0) {
                    continue;
                }
                QCOMPARE(s.event, "enq: TX - row lock contention");
                QCOMPARE(s.waitClass, "Application");
                const auto holder = std::find_if(sample->begin(), sample->end(), [&](auto& h) {
                    return h.sid == s.blockingSession;
                });
                // The demo's standing chain has an idle holder, which is no sample.
                if (holder != sample->end()) {
                    QCOMPARE(holder->sqlId, s.sqlId);
                    blockerSql = holder->sqlId;
                }
            }
        }
        QString message;
        QVERIFY(history->Flush(message));
        const HistoryRange storm{kBeforeStorm, kBeforeStorm + 60};
        QCOMPARE(history->Top(TopBy::Sql, storm, 1).at(0).key, blockerSql);
        const auto events = history->Top(TopBy::Event, storm, 1);
        QCOMPARE(events.at(0).waitClass, "Application");
        QVERIFY(events.at(0).averageActive >= 12);
    }

    void programPrintsTheTopList_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("out");
        QTest::newRow("sql csv") << QStringList{"--csv"}
                                 << "SQL_ID,Samples,Avg active,Share\r\nhot,4,0.80,80.0%\r\n";
        QTest::newRow("session table")
            << QStringList{"--by", "session"}
            << "SID,Serial#  User  Program           Samples  Avg active  Share\n"
               "7,107        APP   JDBC Thin Client  4        0.80        80.0%\n"
               "9,109        APP   JDBC Thin Client  1        0.20        20.0%\n";
        QTest::newRow("events of the last minute")
            << QStringList{"--by", "event", "--since", "1m", "--csv"}
            << "Event,Wait class,Samples,Avg active,Share\r\nON CPU,ON CPU,1,1.00,100.0%\r\n";
    }
    void programPrintsTheTopList() {
        QFETCH(QStringList, options);
        QFETCH(QString, out);
        const std::int64_t now = QDateTime::currentSecsSinceEpoch();
        const auto history = openHistory(HistoryFolder() + "/activity-2882471938-1.sqlite");
        write(*history, seconds(now - 300, 4), {busy(7, "Application", "hot", "enq: TX - x")});
        write(*history, {now - 1}, {busy(9, kOnCpu)});
        write(*history, {now - 3600}, {busy(3, kOnCpu, "old")});
        QProcess program;
        program.start(NIMBRA_SESSIONS,
                      QStringList{"--activity"} + options + QStringList{"system/manager@sim:demo"});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(program.readAllStandardError()), QString());
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), out);
        QCOMPARE(program.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_Activity)
#include "tst_activity.moc"
