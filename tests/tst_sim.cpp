#include <QTest>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Sim.h"

using sim::Connection;
using sim::Controls;
using sim::Cursor;
using sim::OraError;
using sim::Row;

namespace {

const std::string kCount = "SELECT count(*) FROM sys.v_$session";
const std::string kList =
    "SELECT username, sid, serial#, status, osuser, machine, program FROM sys.v_$session";
const std::string kListAll = kList + " ORDER BY username";
const std::string kListUsers = kList + " WHERE username IS NOT NULL ORDER BY username";

std::string detail(const std::string& sid, const std::string& serial) {
    return "SELECT username, status, osuser, machine, program, TO_CHAR(logon_time, "
           "'DD-MON-YYYY HH:MI:SS'), schemaname FROM sys.v_$session WHERE SID = '" +
           sid + "' AND SERIAL# = '" + serial + "'";
}

std::string sqlText(const std::string& sid, const std::string& serial) {
    return "SELECT sql_text FROM sys.v_$session a, sys.v_$sqltext b WHERE a.sql_address = "
           "b.address AND a.sql_hash_value = b.hash_value AND a.SID = '" +
           sid + "' AND a.SERIAL# = '" + serial + "' ORDER BY PIECE";
}

std::string kill(const std::string& sid, const std::string& serial) {
    return "Alter system kill session '" + sid + ", " + serial + "'";
}

struct Result {
    OraError error;
    std::vector<Row> rows;
};

Result run(Connection& connection, const std::string& sql) {
    Cursor cursor(connection);
    Result result{cursor.execute(sql), {}};
    for (std::size_t i = 0; i < cursor.rowCount(); ++i) {
        result.rows.push_back(cursor.row(i));
    }
    return result;
}

// The first column of every row, "NULL" for a NULL value.
QStringList column(const Result& result, std::size_t index = 0) {
    QStringList values;
    for (const Row& row : result.rows) {
        values << (row[index] ? QString::fromStdString(*row[index]) : QStringLiteral("NULL"));
    }
    return values;
}

int countOf(Connection& connection) {
    const Result result = run(connection, kCount);
    return result.error.ok() ? std::stoi(*result.rows.at(0).at(0)) : -1;
}

std::unique_ptr<Connection> logOn(const std::string& scenario, const std::string& user = "system",
                                  const std::string& password = "manager") {
    OraError error;
    return Connection::logon(user, password, scenario, error);
}

sim::SessionSpec session(int sid, std::optional<std::string> user, int serial = 1) {
    sim::SessionSpec s;
    s.sid = sid;
    s.serial = serial;
    s.username = user;
    s.type = user ? "USER" : "BACKGROUND";
    s.osuser = "oracle";
    s.machine = "dbhost01";
    s.program = user ? "sqlplus@client (TNS V1-V3)" : "oracle@dbhost01 (PMON)";
    s.logonTime = 1709647629;  // 2024-03-05 14:07:09 UTC
    s.schemaname = user.value_or("SYS");
    return s;
}

// 40 sessions: sids 1-12 without a user, then users whose names repeat so that order ties occur.
sim::ScenarioSpec fortySessions() {
    sim::ScenarioSpec setup;
    const char* names[] = {"SCOTT", "HR", "APP_OWNER", "SYSTEM"};
    for (int sid = 40; sid >= 1; --sid) {
        setup.sessions.push_back(
            session(sid, sid <= 12 ? std::nullopt : std::optional<std::string>(names[sid % 4])));
    }
    return setup;
}

}  // namespace

class tst_Sim : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Controls::instance().reset();
        Controls::instance().setFixedTime(1709647629);
    }
    void cleanup() { Controls::instance().reset(); }

    void logon_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("userName");
        QTest::newRow("system") << "system"
                                << "manager"
                                << "demo" << 0 << "SYSTEM";
        QTest::newRow("user name in any case") << "SyStEm"
                                               << "manager"
                                               << "demo" << 0 << "SYSTEM";
        QTest::newRow("monitor") << "monitor"
                                 << "monitor"
                                 << "empty" << 0 << "MONITOR";
        QTest::newRow("scott") << "SCOTT"
                               << "tiger"
                               << "large" << 0 << "SCOTT";
        QTest::newRow("password case matters") << "system"
                                               << "MANAGER"
                                               << "demo" << 1017 << "";
        QTest::newRow("wrong password") << "scott"
                                        << "lion"
                                        << "demo" << 1017 << "";
        QTest::newRow("unknown user") << "nobody"
                                      << "manager"
                                      << "demo" << 1017 << "";
        QTest::newRow("no user at all") << ""
                                        << ""
                                        << "demo" << 1017 << "";
        QTest::newRow("null password") << "system"
                                       << ""
                                       << "demo" << 1005 << "";
        QTest::newRow("unknown scenario") << "system"
                                          << "manager"
                                          << "nowhere" << 12154 << "";
    }
    void logon() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, scenario);
        QFETCH(int, code);
        QFETCH(QString, userName);
        OraError error;
        const auto connection = Connection::logon(user.toStdString(), password.toStdString(),
                                                  scenario.toStdString(), error);
        QCOMPARE(error.code, code);
        QCOMPARE(connection == nullptr, code != 0);
        if (connection) {
            QCOMPARE(QString::fromStdString(connection->userName()), userName);
            QVERIFY(connection->state().ok());
        } else {
            QCOMPARE(error.text, sim::standardMessage(code));
        }
    }

    void messages_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("lost");
        QTest::newRow("logon denied")
            << 1017 << "ORA-01017: invalid username/password; logon denied" << false;
        QTest::newRow("no session") << 30 << "ORA-00030: User session ID does not exist." << false;
        QTest::newRow("killed") << 28 << "ORA-00028: your session has been killed" << true;
        QTest::newRow("end of file")
            << 3113 << "ORA-03113: end-of-file on communication channel" << true;
        QTest::newRow("TNS") << 12154
                             << "ORA-12154: TNS:could not resolve the connect identifier specified"
                             << false;
        QTest::newRow("unknown number")
            << 4711 << "ORA-04711: Message 4711 not found; product=RDBMS; facility=ORA" << false;
        QTest::newRow("listener gone") << 12537
                                       << "ORA-12537: Message 12537 not found; "
                                          "product=RDBMS; facility=ORA"
                                       << true;
    }
    void messages() {
        QFETCH(int, code);
        QFETCH(QString, text);
        QFETCH(bool, lost);
        QCOMPARE(QString::fromStdString(sim::standardMessage(code)), text);
        QCOMPARE(sim::isConnectionLost(code), lost);
    }

    void countAndListsOfFortySessions() {
        Controls::instance().defineScenario("forty", fortySessions());
        const auto connection = logOn("forty");
        QCOMPARE(countOf(*connection), 40);

        const Result users = run(*connection, kListUsers);
        QVERIFY(users.error.ok());
        QCOMPARE(users.rows.size(), std::size_t(28));

        const Result all = run(*connection, kListAll);
        QCOMPARE(all.rows.size(), std::size_t(40));
        QCOMPARE(all.rows.front().size(), std::size_t(7));
        // NULL sorts as the largest value; equal names keep session-id order.
        QStringList expected;
        for (const char* name : {"APP_OWNER", "HR", "SCOTT", "SYSTEM"}) {
            expected << QStringList(7, QString::fromLatin1(name));
        }
        expected << QStringList(12, QStringLiteral("NULL"));
        QCOMPARE(column(all), expected);
        QCOMPARE(column(all, 1).mid(0, 7), QStringList({"14", "18", "22", "26", "30", "34", "38"}));
        QCOMPARE(column(all, 1).mid(28, 3), QStringList({"1", "2", "3"}));
        QCOMPARE(column(users), expected.mid(0, 28));
    }

    void descendingOrderPutsNullsFirst() {
        Controls::instance().defineScenario("forty", fortySessions());
        const auto connection = logOn("forty");
        const Result result = run(*connection, kList + " ORDER BY username DESC");
        QCOMPARE(column(result).first(), QStringLiteral("NULL"));
        QCOMPARE(column(result).last(), QStringLiteral("APP_OWNER"));
    }

    void logonTimeFormat_data() {
        QTest::addColumn<qint64>("logonTime");
        QTest::addColumn<QString>("text");
        QTest::newRow("afternoon") << qint64(1709647629) << "05-MAR-2024 02:07:09";
        QTest::newRow("midnight is 12") << qint64(1704067200) << "01-JAN-2024 12:00:00";
        QTest::newRow("noon is 12") << qint64(1704110400 + 5) << "01-JAN-2024 12:00:05";
        QTest::newRow("morning") << qint64(1727770530) << "01-OCT-2024 08:15:30";
        QTest::newRow("leap day") << qint64(1709251199) << "29-FEB-2024 11:59:59";
        QTest::newRow("before 2000") << qint64(946684799) << "31-DEC-1999 11:59:59";
    }
    void logonTimeFormat() {
        QFETCH(qint64, logonTime);
        QFETCH(QString, text);
        sim::ScenarioSpec setup;
        setup.sessions.push_back(session(7, "SCOTT"));
        setup.sessions.back().logonTime = logonTime;
        Controls::instance().defineScenario("one", setup);
        const auto connection = logOn("one");
        const Result result = run(*connection, detail("7", "1"));
        QVERIFY(result.error.ok());
        QCOMPARE(result.rows.size(), std::size_t(1));
        QCOMPARE(column(result, 5), QStringList(text));
        QCOMPARE(column(result), QStringList("SCOTT"));
        QCOMPARE(column(result, 6), QStringList("SCOTT"));
    }

    void dateFormatElements_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("HH24") << "YYYY-MM-DD HH24:MI:SS"
                              << "2024-03-05 14:07:09";
        QTest::newRow("HH12 and PM") << "HH12:MI PM"
                                     << "02:07 PM";
        QTest::newRow("lower-case am element") << "hh am"
                                               << "02 pm";
        QTest::newRow("Mon capitalised") << "DD Mon YY"
                                         << "05 Mar 24";
        QTest::newRow("MONTH padded") << "MONTH|"
                                      << "MARCH    |";
        QTest::newRow("fill mode") << "fmDD Month YYYY"
                                   << "5 March 2024";
        QTest::newRow("quoted text") << "\"day\" DDD"
                                     << "day 065";
        QTest::newRow("day names") << "DY Day"
                                   << "TUE Tuesday  ";
        QTest::newRow("no format model") << ""
                                         << "NULL";
    }
    void dateFormatElements() {
        QFETCH(QString, format);
        QFETCH(QString, text);
        sim::ScenarioSpec setup;
        setup.sessions.push_back(session(7, "SCOTT"));
        Controls::instance().defineScenario("one", setup);
        const auto connection = logOn("one");
        QString model = format;
        model.replace('|', QString());
        const Result result =
            run(*connection, "SELECT TO_CHAR(logon_time, '" + model.toStdString() +
                                 "') FROM sys.v_$session WHERE sid = 7");
        QVERIFY2(result.error.ok(), result.error.text.c_str());
        QString expected = text;
        expected.replace('|', QString());
        QCOMPARE(column(result), QStringList(expected));
    }

    void dateWithoutFormatAndBadModel() {
        sim::ScenarioSpec setup;
        setup.sessions.push_back(session(7, "SCOTT"));
        Controls::instance().defineScenario("one", setup);
        const auto connection = logOn("one");
        QCOMPARE(column(run(*connection, "SELECT logon_time FROM sys.v_$session")),
                 QStringList("05-MAR-24"));
        QCOMPARE(
            run(*connection, "SELECT TO_CHAR(logon_time, 'DD-XX') FROM sys.v_$session").error.code,
            1821);
    }

    void quotedNumberComparison_data() {
        QTest::addColumn<QString>("sid");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("rows");
        QTest::newRow("plain") << "7" << 0 << 1;
        QTest::newRow("leading zeros") << "007" << 0 << 1;
        QTest::newRow("blanks around") << " 7 " << 0 << 1;
        QTest::newRow("decimal") << "7.0" << 0 << 1;
        QTest::newRow("other session") << "8" << 0 << 0;
        QTest::newRow("empty is NULL") << "" << 0 << 0;
        QTest::newRow("not a number") << "abc" << 1722 << 0;
        QTest::newRow("digits then text") << "7x" << 1722 << 0;
    }
    void quotedNumberComparison() {
        QFETCH(QString, sid);
        QFETCH(int, code);
        QFETCH(int, rows);
        sim::ScenarioSpec setup;
        setup.sessions.push_back(session(7, "SCOTT"));
        Controls::instance().defineScenario("one", setup);
        const auto connection = logOn("one");
        const Result result = run(*connection, detail(sid.toStdString(), "1"));
        QCOMPARE(result.error.code, code);
        QCOMPARE(int(result.rows.size()), rows);
    }

    void sqlTextComesInPieces() {
        const std::string text =
            "SELECT o.order_id, c.name, SUM(l.quantity * l.unit_price) FROM "
            "orders o JOIN customers c ON c.customer_id = o.customer_id JOIN "
            "order_lines l ON l.order_id = o.order_id";
        QVERIFY(text.size() > 128 && text.size() <= 192);
        sim::ScenarioSpec setup;
        setup.sessions.push_back(session(7, "SCOTT"));
        setup.sessions.back().sqlText = text;
        setup.sessions.push_back(session(8, "HR"));
        setup.sessions.back().sqlText = text;
        setup.sessions.push_back(session(9, "HR"));
        Controls::instance().defineScenario("sql", setup);
        const auto connection = logOn("sql");

        const Result result = run(*connection, sqlText("7", "1"));
        QVERIFY(result.error.ok());
        const QStringList pieces = column(result);
        QCOMPARE(pieces.size(), 3);
        QCOMPARE(pieces.join(QString()).toStdString(), text);
        QCOMPARE(pieces[0].size(), 64);
        QCOMPARE(pieces[1].size(), 64);
        QCOMPARE(run(*connection, sqlText("8", "1")).rows.size(), std::size_t(3));
        QVERIFY(run(*connection, sqlText("9", "1")).rows.empty());
    }

    void rightsOfEachAccount_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("code");
        const QString probeSession = "SELECT 0 FROM sys.v_$session WHERE 1 = 0";
        const QString probeSql = "SELECT 0 FROM sys.v_$sqltext WHERE 1 = 0";
        const QString killIt = QString::fromStdString(kill("7", "1"));
        QTest::newRow("system reads sessions") << "system"
                                               << "manager" << probeSession << 0;
        QTest::newRow("system reads SQL") << "system"
                                          << "manager" << probeSql << 0;
        QTest::newRow("monitor reads sessions") << "monitor"
                                                << "monitor" << probeSession << 0;
        QTest::newRow("monitor may not read SQL") << "monitor"
                                                  << "monitor" << probeSql << 942;
        QTest::newRow("monitor may not join SQL")
            << "monitor"
            << "monitor" << QString::fromStdString(sqlText("7", "1")) << 942;
        QTest::newRow("scott may not read sessions") << "scott"
                                                     << "tiger" << probeSession << 942;
        QTest::newRow("scott may not count") << "scott"
                                             << "tiger" << QString::fromStdString(kCount) << 942;
        QTest::newRow("scott unknown column still 942")
            << "scott"
            << "tiger"
            << "SELECT nosuch FROM sys.v_$session" << 942;
        QTest::newRow("scott may not read SQL") << "scott"
                                                << "tiger" << probeSql << 942;
        QTest::newRow("monitor may not kill") << "monitor"
                                              << "monitor" << killIt << 1031;
        QTest::newRow("scott may not kill") << "scott"
                                            << "tiger" << killIt << 1031;
        QTest::newRow("no right beats a bad id") << "monitor"
                                                 << "monitor"
                                                 << "alter system kill session 'x'" << 1031;
    }
    void rightsOfEachAccount() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, sql);
        QFETCH(int, code);
        sim::ScenarioSpec setup;
        setup.sessions.push_back(session(7, "HR"));
        Controls::instance().defineScenario("one", setup);
        const auto connection = logOn("one", user.toStdString(), password.toStdString());
        const Result result = run(*connection, sql.toStdString());
        QCOMPARE(result.error.code, code);
        QVERIFY(result.rows.empty());
        QCOMPARE(countOf(*logOn("one")), 1);  // a refused kill changes nothing
    }

    void killedSessionShowsKilledThenGoes() {
        sim::ScenarioSpec setup;
        setup.sessions.push_back(session(7, "SCOTT", 345));
        setup.sessions.back().sqlText = "SELECT * FROM emp";
        setup.sessions.push_back(session(8, "HR", 12));
        Controls::instance().defineScenario("two", setup);
        const auto connection = logOn("two");

        QVERIFY(run(*connection, kill("7", "345")).error.ok());
        Result list = run(*connection, kListUsers);
        QCOMPARE(column(list, 3), QStringList({"INACTIVE", "KILLED"}));
        QCOMPARE(run(*connection, kill("7", "345")).error.code, 31);

        Controls::instance().advanceClock(1);
        list = run(*connection, kListUsers);
        QCOMPARE(column(list), QStringList("HR"));
        QCOMPARE(run(*connection, "SELECT count(*) FROM sys.v_$sqltext").rows.at(0).at(0),
                 sim::Value("0"));
        QCOMPARE(run(*connection, kill("7", "345")).error.code, 30);
    }

    void killErrors_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("code");
        QTest::newRow("as sent") << "Alter system kill session '8, 12'" << 0;
        QTest::newRow("no blank, lower case") << "alter system kill session '8,12'" << 0;
        QTest::newRow("blanks and immediate")
            << "ALTER SYSTEM KILL SESSION '  8 ,  12 ' IMMEDIATE" << 0;
        QTest::newRow("instance part") << "alter system kill session '8,12,@1'" << 0;
        QTest::newRow("wrong serial") << "alter system kill session '8, 13'" << 30;
        QTest::newRow("no such sid") << "alter system kill session '99, 12'" << 30;
        QTest::newRow("background process") << "alter system kill session '1, 1'" << 29;
        QTest::newRow("busy: marked for kill") << "alter system kill session '9, 13'" << 31;
        QTest::newRow("letters") << "alter system kill session 'a, b'" << 26;
        QTest::newRow("no serial") << "alter system kill session '8'" << 26;
        QTest::newRow("empty serial") << "alter system kill session '8, '" << 26;
        QTest::newRow("empty id") << "alter system kill session ''" << 26;
        QTest::newRow("unquoted") << "alter system kill session 8, 12" << 26;
        QTest::newRow("trailing words") << "alter system kill session '8, 12' now" << 933;
        QTest::newRow("other system option") << "alter system flush shared_pool" << 2065;
        QTest::newRow("other alter") << "alter table emp add x number" << 940;
    }
    void killErrors() {
        QFETCH(QString, sql);
        QFETCH(int, code);
        sim::ScenarioSpec setup;
        setup.sessions.push_back(session(1, std::nullopt));
        setup.sessions.push_back(session(8, "HR", 12));
        setup.sessions.push_back(session(9, "HR", 13));
        setup.sessions.back().status = "ACTIVE";
        Controls::instance().defineScenario("two", setup);
        const auto connection = logOn("two");
        QCOMPARE(run(*connection, sql.toStdString()).error.code, code);
    }

    void ownSessionsAndTheirKills() {
        sim::ScenarioSpec setup;
        setup.listOwnSessions = true;
        Controls::instance().defineScenario("own", setup);
        const auto killer = logOn("own");
        auto victim = logOn("own", "Scott", "tiger");
        const Result list = run(*killer, kListUsers);
        QCOMPARE(column(list), QStringList({"SCOTT", "SYSTEM"}));
        QCOMPARE(column(list, 3), QStringList({"ACTIVE", "ACTIVE"}));
        const std::string victimSid = *list.rows[0][1], victimSerial = *list.rows[0][2];
        const std::string ownSid = *list.rows[1][1], ownSerial = *list.rows[1][2];

        // Each connection is told its own session.
        const std::string mySid = "SELECT SYS_CONTEXT('USERENV', 'SID') FROM dual";
        QCOMPARE(column(run(*killer, mySid)), QStringList(QString::fromStdString(ownSid)));
        QCOMPARE(column(run(*victim, mySid)), QStringList(QString::fromStdString(victimSid)));
        QCOMPARE(run(*killer, kill(ownSid, ownSerial)).error.code, 27);
        QVERIFY(run(*killer, kill(victimSid, victimSerial)).error.ok());
        QCOMPARE(victim->state().code, 28);
        QCOMPARE(run(*victim, kCount).error.code, 28);
        Controls::instance().advanceClock(5);
        QCOMPARE(run(*victim, kCount).error.code, 28);
        QCOMPARE(countOf(*killer), 1);

        victim = logOn("own", "monitor", "monitor");
        QCOMPARE(countOf(*killer), 2);
        victim.reset();
        QCOMPARE(countOf(*killer), 1);
    }

    void lostConnection() {
        const auto connection = logOn("empty");
        connection->markLost();
        QCOMPARE(connection->state().code, 3114);
        QCOMPARE(run(*connection, kCount).error.code, 3114);
    }

    void unsupportedStatements_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "" << 900 << "";
        QTest::newRow("blanks") << "   \n" << 900 << "";
        QTest::newRow("no statement kind") << "hello world" << 900 << "";
        QTest::newRow("unknown column") << "SELECT nosuch FROM sys.v_$session" << 904
                                        << "ORA-00904: \"NOSUCH\": invalid identifier";
        QTest::newRow("unknown qualified column") << "SELECT a.bad FROM sys.v_$session a" << 904
                                                  << "ORA-00904: \"A\".\"BAD\": invalid identifier";
        QTest::newRow("SQLite function") << "SELECT sqlite_version() FROM dual" << 904
                                         << "ORA-00904: \"SQLITE_VERSION\": invalid identifier";
        QTest::newRow("unknown view") << "SELECT * FROM sys.v_$nothing" << 942 << "";
        QTest::newRow("unknown table") << "SELECT * FROM emp" << 942 << "";
        QTest::newRow("view without schema") << "SELECT sid FROM v_$session" << 942 << "";
        QTest::newRow("store catalogue") << "SELECT * FROM sqlite_master" << 942 << "";
        QTest::newRow("trailing garbage") << "SELECT sid FROM sys.v_$session x y" << 933 << "";
        QTest::newRow("LIMIT") << "SELECT sid FROM sys.v_$session LIMIT 1" << 933 << "";
        QTest::newRow("semicolon") << "SELECT sid FROM sys.v_$session;" << 911 << "";
        QTest::newRow("no FROM") << "SELECT 1" << 923 << "";
        QTest::newRow("open quote") << "SELECT 'x FROM dual" << 1756 << "";
        QTest::newRow("bind variable")
            << "SELECT sid FROM sys.v_$session WHERE sid = :1" << 1008 << "";
        QTest::newRow("change a view") << "DELETE FROM sys.v_$session" << 2030 << "";
        QTest::newRow("create") << "CREATE TABLE t (x NUMBER)" << 1031 << "";
    }
    void unsupportedStatements() {
        QFETCH(QString, sql);
        QFETCH(int, code);
        QFETCH(QString, text);
        const auto connection = logOn("demo");
        Cursor cursor(*connection);
        const OraError error = cursor.execute(sql.toStdString());
        QCOMPARE(error.code, code);
        QCOMPARE(QString::fromStdString(error.text),
                 text.isEmpty() ? QString::fromStdString(sim::standardMessage(code)) : text);
        QCOMPARE(cursor.rowCount(), std::size_t(0));
        QVERIFY(!cursor.isQuery());
        QVERIFY(connection->state().ok());
    }

    void oracleDialect_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("dual") << "SELECT 1 FROM dual" << QStringList("1");
        QTest::newRow("number text") << "SELECT 0.5, -1.5, 7 / 2, 6 / 2 FROM dual"
                                     << QStringList({".5", "-1.5", "3.5", "3"});
        QTest::newRow("empty string is NULL")
            << "SELECT NVL('', 'null') FROM dual" << QStringList("null");
        QTest::newRow("caret not-equal")
            << "SELECT count(*) FROM sys.v_$session WHERE sid ^= 7" << QStringList("1");
        QTest::newRow("count with condition")
            << "SELECT count(*) FROM sys.v_$session WHERE username = 'HR'" << QStringList("1");
        QTest::newRow("minus") << "SELECT sid FROM sys.v_$session MINUS SELECT 7 FROM dual"
                               << QStringList("8");
    }
    void oracleDialect() {
        QFETCH(QString, sql);
        QFETCH(QStringList, values);
        sim::ScenarioSpec setup;
        setup.sessions.push_back(session(7, "SCOTT"));
        setup.sessions.push_back(session(8, "HR"));
        Controls::instance().defineScenario("two", setup);
        const auto connection = logOn("two");
        const Result result = run(*connection, sql.toStdString());
        QVERIFY2(result.error.ok(), result.error.text.c_str());
        QStringList got;
        for (std::size_t i = 0; i < result.rows.at(0).size(); ++i)
            got << column(result, i);
        QCOMPARE(got, values);
    }

    void failCallCountsEveryCall() {
        Controls& controls = Controls::instance();
        controls.failCall(sim::Call::Exec, 3, 3113);
        controls.failCall(sim::Call::Fetch, 1, 1001);
        QCOMPARE(controls.takeFailure(sim::Call::Exec), std::nullopt);
        QCOMPARE(controls.takeFailure(sim::Call::Parse), std::nullopt);
        QCOMPARE(controls.takeFailure(sim::Call::Exec), std::nullopt);
        QCOMPARE(controls.takeFailure(sim::Call::Exec), std::optional<int>(3113));
        QCOMPARE(controls.takeFailure(sim::Call::Exec), std::nullopt);
        QCOMPARE(controls.takeFailure(sim::Call::Fetch), std::optional<int>(1001));
        QCOMPARE(controls.takeFailure(sim::Call::Fetch), std::nullopt);
        controls.failCall(sim::Call::Close, 1, 1001);
        controls.reset();
        QCOMPARE(controls.takeFailure(sim::Call::Close), std::nullopt);
    }

    void roundTripsWaitAndCount() {
        Controls& controls = Controls::instance();
        controls.setRoundTripLatency(std::chrono::milliseconds(3));
        const auto start = std::chrono::steady_clock::now();
        controls.roundTrip();
        controls.roundTrip();
        QVERIFY(std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(6));
        QCOMPARE(controls.roundTrips(), 2);
    }

    void sessionsArriveAfterTheCount() {
        Controls::instance().defineScenario("forty", fortySessions());
        const auto connection = logOn("forty");
        Controls::instance().addSessionsAfterNextCount(3);
        QCOMPARE(run(*connection, "SELECT count(*) FROM sys.v_$sqltext").error.code, 0);
        QCOMPARE(countOf(*connection), 40);
        const Result list = run(*connection, kListUsers);
        QCOMPARE(list.rows.size(), std::size_t(31));
        QVERIFY(std::all_of(list.rows.begin(), list.rows.end(),
                            [](const Row& row) { return row[0].has_value(); }));
        QCOMPARE(countOf(*connection), 43);
        QCOMPARE(countOf(*connection), 43);
    }

    void demoIsAliveAndDeterministic() {
        auto snapshot = [] {
            const auto connection = logOn("demo");
            return run(*connection, kListAll).rows;
        };
        Controls::instance().setSeed(42);
        const std::vector<Row> first = snapshot();
        Controls::instance().reset();
        Controls::instance().setFixedTime(1709647629);
        Controls::instance().setSeed(42);
        QCOMPARE(snapshot(), first);

        const auto connection = logOn("demo");
        const Result all = run(*connection, kListAll);
        const auto background =
            std::count_if(all.rows.begin(), all.rows.end(), [](const Row& row) { return !row[0]; });
        QCOMPARE(background, 20);
        QVERIFY(all.rows.size() >= 50 && all.rows.size() <= 75);
        QVERIFY(std::any_of(all.rows.begin(), all.rows.end(),
                            [](const Row& row) { return row[5]->size() > 29; }));
        QVERIFY(std::all_of(all.rows.begin(), all.rows.end(), [](const Row& row) {
            return row[5]->size() <= 64 && row[6]->size() <= 48;
        }));
        // Names beyond ASCII are part of it.
        QVERIFY(std::any_of(all.rows.begin(), all.rows.end(), [](const Row& row) {
            return std::any_of(row.begin(), row.end(), [](const sim::Value& value) {
                return value && std::any_of(value->begin(), value->end(),
                                            [](char c) { return (c & 0x80) != 0; });
            });
        }));
        const Result longest = run(*connection, "SELECT max(piece) FROM sys.v_$sqltext");
        QVERIFY(std::stoi(*longest.rows.at(0).at(0)) >= 2);

        Controls::instance().advanceClock(600);
        QVERIFY(run(*connection, kListAll).rows != all.rows);
        Controls::instance().setSeed(7);
        QVERIFY(snapshot() != first);
    }

    void largeHasTenThousandSessions() {
        const auto connection = logOn("large");
        QCOMPARE(countOf(*connection), 10000);
        const Result all = run(*connection, kListAll);
        QCOMPARE(all.rows.size(), std::size_t(10000));
        QVERIFY(std::is_sorted(all.rows.begin(), all.rows.end(), [](const Row& a, const Row& b) {
            return a[0].has_value() && (!b[0] || *a[0] < *b[0]);
        }));
        // Each background process runs once per instance.
        std::set<std::string> processes;
        int background = 0;
        for (const Row& row : all.rows) {
            if (!row[0]) {
                ++background;
                processes.insert(*row[6]);
            }
        }
        QCOMPARE(background, 40);
        QCOMPARE(int(processes.size()), background);
        QVERIFY(processes.count("oracle@dbhost01 (PMON)") == 1);
    }

    // A DATE holds the server's local time.
    void logonTimeIsLocal_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QString>("shown");
        QTest::newRow("UTC") << QByteArray("UTC0") << "05-MAR-2024 14:07:09";
        QTest::newRow("Central Europe") << QByteArray("CET-1") << "05-MAR-2024 15:07:09";
        QTest::newRow("New York") << QByteArray("EST5") << "05-MAR-2024 09:07:09";
    }
    void logonTimeIsLocal() {
        QFETCH(QByteArray, zone);
        QFETCH(QString, shown);
        const QByteArray before = qgetenv("TZ");
        qputenv("TZ", zone);
        tzset();
        sim::ScenarioSpec setup;
        setup.sessions.push_back(session(7, "SCOTT"));
        Controls::instance().defineScenario("zoned", setup);
        const auto connection = logOn("zoned");
        const Result result =
            run(*connection,
                "SELECT TO_CHAR(logon_time, 'DD-MON-YYYY HH24:MI:SS') FROM sys.v_$session");
        qputenv("TZ", before);
        tzset();
        QCOMPARE(QString::fromStdString(*result.rows.at(0).at(0)), shown);
    }

    void statementLogAndOpenCursors() {
        Controls& controls = Controls::instance();
        const auto connection = logOn("empty");
        const int open = controls.openCursors();
        {
            Cursor first(*connection);
            Cursor second(*connection);
            QCOMPARE(controls.openCursors(), open + 2);
            first.execute(kCount);
            second.execute("  select\tsid FROM nowhere  ");
            first.execute("");
        }
        QCOMPARE(controls.openCursors(), open);
        const std::vector<std::string> expected = {kCount, "  select\tsid FROM nowhere  ", ""};
        QCOMPARE(controls.statementLog(), expected);
        controls.clearStatementLog();
        QVERIFY(controls.statementLog().empty());
    }

    void orderByVariants_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("explicit NULLS FIRST kept")
            << "SELECT username FROM sys.v_$session ORDER BY username NULLS FIRST"
            << QStringList({"NULL", "HR", "SCOTT", "SCOTT"});
        QTest::newRow("by position, descending")
            << "SELECT username FROM sys.v_$session ORDER BY 1 DESC"
            << QStringList({"NULL", "SCOTT", "SCOTT", "HR"});
        QTest::newRow("second key also NULLs last")
            << "SELECT osuser FROM sys.v_$session ORDER BY username, osuser"
            << QStringList({"hr", "scott", "NULL", "oracle"});
        QTest::newRow("inside a subquery")
            << "SELECT username FROM (SELECT username, sid FROM sys.v_$session ORDER BY username) "
               "WHERE sid > 1"
            << QStringList({"HR", "SCOTT", "NULL"});
        QTest::newRow("function key") << "SELECT username FROM sys.v_$session ORDER BY "
                                         "NVL(username, 'A'), sid DESC"
                                      << QStringList({"NULL", "HR", "SCOTT", "SCOTT"});
    }
    void orderByVariants() {
        QFETCH(QString, sql);
        QFETCH(QStringList, names);
        sim::ScenarioSpec setup;
        setup.sessions = {session(4, "SCOTT"), session(3, std::nullopt), session(2, "HR"),
                          session(1, "SCOTT")};
        setup.sessions[0].osuser = std::nullopt;
        setup.sessions[1].osuser = "oracle";
        setup.sessions[2].osuser = "hr";
        setup.sessions[3].osuser = "scott";
        Controls::instance().defineScenario("four", setup);
        const auto connection = logOn("four");
        const Result result = run(*connection, sql.toStdString());
        QVERIFY2(result.error.ok(), result.error.text.c_str());
        QCOMPARE(column(result), names);
    }

    // Whatever part of a statement arrives, the answer is a server error, never a crash or a
    // message of the store underneath.
    void everyPrefixOfTheStatementsAnswers() {
        Controls::instance().defineScenario("forty", fortySessions());
        const auto connection = logOn("forty");
        const std::vector<std::string> statements = {
            kCount + " WHERE status = 'ACTIVE'", kListUsers, detail("13", "1"), sqlText("13", "1"),
            "SELECT 0 FROM sys.v_$sqltext WHERE 1 = 0"};
        for (const std::string& statement : statements) {
            for (std::size_t length = 0; length <= statement.size(); ++length) {
                const std::string sql = statement.substr(0, length);
                const OraError error = run(*connection, sql).error;
                if (error.ok() || error.code == 904) {
                    continue;
                }
                QVERIFY2(error.text == sim::standardMessage(error.code), sql.c_str());
            }
        }
        QCOMPARE(countOf(*connection), 40);
    }

    void numbersAndFunctions_data() {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("code");
        QTest::newRow("number to text") << "TO_CHAR(sid)"
                                        << "7" << 0;
        QTest::newRow("fraction") << "TO_CHAR(sid / 4)"
                                  << "1.75" << 0;
        QTest::newRow("text to number") << "TO_NUMBER(' 42 ') + 1"
                                        << "43" << 0;
        QTest::newRow("bad text to number") << "TO_NUMBER('4x')"
                                            << "" << 1722;
        QTest::newRow("number format model") << "TO_CHAR(sid, '999')"
                                             << "" << 1481;
        QTest::newRow("upper") << "UPPER(osuser)"
                               << "ORACLE" << 0;
        QTest::newRow("length") << "LENGTH(machine)"
                                << "8" << 0;
        QTest::newRow("unknown function") << "DECODE_ME(sid)"
                                          << "" << 904;
        QTest::newRow("wrong arguments") << "NVL(sid)"
                                         << "" << 909;
        QTest::newRow("session user") << "sys_context('userenv', 'session_user')"
                                      << "SYSTEM" << 0;
        QTest::newRow("another namespace") << "SYS_CONTEXT('MYAPP', 'SID')"
                                           << "NULL" << 0;
        QTest::newRow("unknown USERENV parameter") << "SYS_CONTEXT('USERENV', 'NONSENSE')"
                                                   << "" << 2003;
    }
    void numbersAndFunctions() {
        QFETCH(QString, expression);
        QFETCH(QString, value);
        QFETCH(int, code);
        sim::ScenarioSpec setup;
        setup.sessions.push_back(session(7, "SCOTT"));
        Controls::instance().defineScenario("one", setup);
        const auto connection = logOn("one");
        const Result result =
            run(*connection, "SELECT " + expression.toStdString() + " FROM sys.v_$session");
        QCOMPARE(result.error.code, code);
        if (code == 0) {
            QCOMPARE(column(result), QStringList(value));
        }
    }
};

QTEST_GUILESS_MAIN(tst_Sim)
#include "tst_sim.moc"
