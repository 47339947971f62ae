#include <QTest>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "SessionColumns.h"
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

constexpr std::int64_t kNow = 1709647629;  // 2024-03-05 14:07:09 UTC

// The first column of every row, "NULL" for a NULL value.
QStringList column(const Result& result, std::size_t index = 0) {
    QStringList values;
    for (const Row& row : result.rows) {
        values << (row[index] ? QString::fromStdString(*row[index]) : QStringLiteral("NULL"));
    }
    return values;
}

// Every value of every row, row after row.
QStringList cells(const Result& result) {
    QStringList values;
    for (const Row& row : result.rows) {
        for (const sim::Value& value : row)
            values << (value ? QString::fromStdString(*value) : QStringLiteral("NULL"));
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
        Controls::instance().setFixedTime(kNow);
    }
    void cleanup() { Controls::instance().reset(); }

    void logon_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("userName");
        QTest::addColumn<int>("privilege");
        QTest::newRow("system") << "system"
                                << "manager"
                                << "demo" << 0 << "SYSTEM" << 0;
        const int sysDba = int(sim::Privilege::SysDba);
        QTest::newRow("sys as SYSDBA") << "sys"
                                       << "change_on_install"
                                       << "demo" << 0 << "SYS" << sysDba;
        QTest::newRow("sys as SYSOPER") << "SYS"
                                        << "change_on_install"
                                        << "demo" << 0 << "PUBLIC" << int(sim::Privilege::SysOper);
        QTest::newRow("sys without a privilege") << "sys"
                                                 << "change_on_install"
                                                 << "demo" << 28009 << "" << 0;
        QTest::newRow("sys with a wrong password") << "sys"
                                                   << "manager"
                                                   << "demo" << 1017 << "" << sysDba;
        QTest::newRow("system as SYSDBA") << "system"
                                          << "manager"
                                          << "demo" << 1031 << "" << sysDba;
        QTest::newRow("the operating system's SYSDBA") << ""
                                                       << ""
                                                       << "demo" << 0 << "SYS" << sysDba;
        QTest::newRow("user name in any case") << "SyStEm"
                                               << "manager"
                                               << "demo" << 0 << "SYSTEM" << 0;
        QTest::newRow("monitor") << "monitor"
                                 << "monitor"
                                 << "empty" << 0 << "MONITOR" << 0;
        QTest::newRow("scott") << "SCOTT"
                               << "tiger"
                               << "large" << 0 << "SCOTT" << 0;
        QTest::newRow("password case matters") << "system"
                                               << "MANAGER"
                                               << "demo" << 1017 << "" << 0;
        QTest::newRow("wrong password") << "scott"
                                        << "lion"
                                        << "demo" << 1017 << "" << 0;
        QTest::newRow("unknown user") << "nobody"
                                      << "manager"
                                      << "demo" << 1017 << "" << 0;
        QTest::newRow("no user at all") << ""
                                        << ""
                                        << "demo" << 1017 << "" << 0;
        QTest::newRow("null password") << "system"
                                       << ""
                                       << "demo" << 1005 << "" << 0;
        QTest::newRow("unknown scenario") << "system"
                                          << "manager"
                                          << "nowhere" << 12154 << "" << 0;
    }
    void logon() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, scenario);
        QFETCH(int, code);
        QFETCH(QString, userName);
        QFETCH(int, privilege);
        OraError error;
        const auto connection =
            Connection::logon(user.toStdString(), password.toStdString(), scenario.toStdString(),
                              error, sim::Privilege(privilege));
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
        const QString transactions = "SELECT 0 FROM sys.v_$transaction WHERE 1 = 0";
        QTest::newRow("system reads transactions") << "system"
                                                   << "manager" << transactions << 0;
        QTest::newRow("monitor may not read transactions") << "monitor"
                                                           << "monitor" << transactions << 942;
        const QString longOps = "SELECT 0 FROM sys.v_$session_longops WHERE 1 = 0";
        QTest::newRow("system reads long operations") << "system"
                                                      << "manager" << longOps << 0;
        QTest::newRow("monitor may not read long operations") << "monitor"
                                                              << "monitor" << longOps << 942;
        QTest::newRow("their rows only through the view")
            << "system"
            << "manager"
            << "SELECT 0 FROM sys.x$ksulop WHERE 1 = 0" << 942;
        QTest::newRow("monitor may not cancel") << "monitor"
                                                << "monitor"
                                                << "alter system cancel sql '7, 1'" << 1031;
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

    void endSessionStatements_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("after");  // the session's status and event, or "gone"
        const QString busy = "ACTIVE db file sequential read",
                      idle = "INACTIVE SQL*Net message from client";
        const auto row = [](const char* name, int major, const char* sql, int code,
                            const QString& after) {
            QTest::newRow(name) << major << QString(sql) << code << after;
        };
        row("kill immediate ends a busy session", 19, "ALTER SYSTEM KILL SESSION '9, 13' IMMEDIATE",
            0, "gone");
        row("kill immediate before 8i", 7, "alter system kill session '9,13' immediate", 933,
            "ACTIVE");
        row("kill on another instance", 19, "alter system kill session '9,13,@2'", 30, busy);
        row("kill with instance before 11g", 10, "alter system kill session '9,13,@1'", 26, busy);
        row("disconnect waits for the transaction", 19,
            "ALTER SYSTEM DISCONNECT SESSION '9, 13' POST_TRANSACTION", 0, busy);
        row("post_transaction outweighs immediate", 19,
            "alter system disconnect session '9,13' post_transaction immediate", 0, busy);
        row("disconnect without a transaction", 19,
            "alter system disconnect session '8, 12' post_transaction", 0, "gone");
        row("disconnect immediate", 19, "alter system disconnect session '9,13' immediate", 0,
            "gone");
        row("disconnect needs a keyword", 19, "alter system disconnect session '9,13'", 2000, busy);
        row("disconnect takes no instance", 19,
            "alter system disconnect session '9,13,@1' immediate", 26, busy);
        row("disconnect before 9i", 8, "alter system disconnect session '9,13' immediate", 2065,
            "ACTIVE");
        row("cancel stops the call", 19, "ALTER SYSTEM CANCEL SQL '9, 13'", 0, idle);
        row("cancel of an idle session", 19, "alter system cancel sql '8, 12'", 0, idle);
        row("cancel names another statement", 19,
            "alter system cancel sql '9, 13, @1, 0123456789abc'", 0, busy);
        row("cancel names its statement", 19, "alter system cancel sql '9, 13, 4b0x5kd7kzcxq'", 0,
            idle);
        row("cancel before 18c", 12, "alter system cancel sql '9, 13'", 2065, busy);
        row("cancel of a background process", 19, "alter system cancel sql '1, 1'", 29, busy);
        row("cancel of a gone session", 19, "alter system cancel sql '99, 13'", 30, busy);
        row("cancel with a bad id", 19, "alter system cancel sql '9; 13'", 26, busy);
    }
    void endSessionStatements() {
        QFETCH(int, major);
        QFETCH(QString, sql);
        QFETCH(int, code);
        QFETCH(QString, after);
        sim::ScenarioSpec setup;
        setup.release.major = major;
        setup.release.second = 1;
        setup.sessions.push_back(session(1, std::nullopt));
        setup.sessions.push_back(session(8, "HR", 12));
        setup.sessions.push_back(session(9, "HR", 13));
        setup.sessions.back().status = "ACTIVE";
        setup.sessions.back().event = "db file sequential read";
        setup.sessions.back().sqlText = "UPDATE emp SET sal = sal * 1.1";
        Controls::instance().defineScenario("two", setup);
        const auto connection = logOn("two");
        const std::string sid = sql.contains("'8") ? "8" : "9";
        const Result ids = run(*connection, "SELECT sql_id FROM sys.v_$session WHERE sid = 9");
        const std::string id = ids.rows.empty() ? "" : ids.rows[0][0].value_or("");
        QCOMPARE(
            run(*connection, sql.replace("4b0x5kd7kzcxq", QString::fromStdString(id)).toStdString())
                .error.code,
            code);
        const Result state =
            run(*connection,
                std::string(major >= 10 ? "SELECT status || ' ' || event" : "SELECT status") +
                    " FROM sys.v_$session WHERE sid = " + sid);
        QCOMPARE(state.rows.empty() ? QString("gone") : column(state).first(), after);
    }

    void transactionsAndWhatAKillRollsBack() {
        const auto connection = logOn("demo");
        const std::string holder =
            *run(*connection, "SELECT min(blocking_session) FROM sys.v_$session").rows.at(0).at(0);
        const std::string transactions =
            "SELECT s.sid, s.serial#, TO_CHAR(t.start_date, 'HH24:MI:SS'), t.used_urec, "
            "t.used_ublk, t.status, SUBSTR(t.start_time, 10) FROM sys.v_$transaction t, "
            "sys.v_$session s WHERE t.ses_addr = s.saddr AND s.sid IN (" +
            holder + ", 1)";
        const Result before = run(*connection, transactions);
        QCOMPARE(before.rows.size(), std::size_t(1));
        const QStringList values = cells(before);
        QCOMPARE(values[0], QString::fromStdString(holder));
        QCOMPARE(values.mid(3, 3), QStringList({"48213", "1204", "ACTIVE"}));
        QCOMPARE(values[6], values[2]);  // START_TIME is text of the same moment
        // Every TADDR names one row, and only sessions that change data have one.
        QCOMPARE(cells(run(*connection,
                           "SELECT count(*) FROM sys.v_$session WHERE taddr IS NOT NULL UNION ALL "
                           "SELECT count(*) FROM sys.v_$transaction t, sys.v_$session s WHERE "
                           "t.addr = s.taddr AND t.ses_addr = s.saddr")),
                 QStringList(2, cells(run(*connection,
                                          "SELECT count(*) FROM "
                                          "sys.v_$transaction"))
                                    .first()));
        QCOMPARE(cells(run(*logOn("demo", "monitor", "monitor"), transactions)), QStringList());
        QCOMPARE(run(*logOn("demo", "monitor", "monitor"), transactions).error.code, 942);

        const std::string serial =
            *run(*connection, "SELECT serial# FROM sys.v_$session WHERE sid = " + holder)
                 .rows.at(0)
                 .at(0);
        QVERIFY(
            run(*connection, "ALTER SYSTEM KILL SESSION '" + holder + ", " + serial + "' IMMEDIATE")
                .error.ok());
        QVERIFY(run(*connection, transactions).rows.empty());
        // The waiters run on at once.
        QCOMPARE(column(run(*connection,
                            "SELECT state FROM sys.v_$session WHERE event = 'enq: TX - row lock "
                            "contention' ORDER BY sid")),
                 QStringList(3, "WAITED KNOWN TIME"));
    }

    void disconnectedSessionsGoWithTheirTransaction() {
        const auto connection = logOn("demo");
        const Result marked = run(*connection,
                                  "SELECT sid, serial# FROM sys.v_$session WHERE taddr IS NOT NULL "
                                  "AND blocking_session IS NULL AND sid NOT IN (SELECT "
                                  "blocking_session FROM sys.v_$session WHERE blocking_session "
                                  "IS NOT NULL)");
        QVERIFY(!marked.rows.empty());
        std::string sids;
        for (const Row& row : marked.rows) {
            QVERIFY(run(*connection, "ALTER SYSTEM DISCONNECT SESSION '" + *row[0] + "," + *row[1] +
                                         "' POST_TRANSACTION")
                        .error.ok());
            sids += (sids.empty() ? "" : ", ") + *row[0];
        }
        const std::string left = "SELECT count(*) FROM sys.v_$session WHERE sid IN (" + sids + ")";
        QCOMPARE(cells(run(*connection, left)), QStringList(QString::number(marked.rows.size())));
        Controls::instance().advanceClock(900);
        // Whoever is still there is still in its transaction.
        QCOMPARE(cells(run(*connection, left + " AND taddr IS NULL")), QStringList("0"));
        QVERIFY(std::stoul(*run(*connection, left).rows.at(0).at(0)) < marked.rows.size());
    }

    // A cluster's sessions come from every instance through GV$, from the client's own through
    // V$; a kill names the instance, a wrong one finds no session.
    void clusterViewsAndKills() {
        const auto connection = logOn("rac");
        QCOMPARE(cells(run(*connection,
                           "SELECT inst_id, instance_name FROM sys.gv_$instance ORDER BY inst_id")),
                 QStringList({"1", "rac1", "2", "rac2", "3", "rac3"}));
        QCOMPARE(cells(run(*connection,
                           "SELECT SYS_CONTEXT('USERENV', 'INSTANCE'), "
                           "SYS_CONTEXT('USERENV', 'INSTANCE_NAME'), "
                           "SYS_CONTEXT('USERENV', 'DB_NAME') FROM dual")),
                 QStringList({"1", "rac1", "RAC"}));
        const QStringList perInstance =
            cells(run(*connection,
                      "SELECT inst_id, count(*) FROM sys.gv_$session GROUP BY inst_id "
                      "ORDER BY inst_id"));
        QCOMPARE(perInstance.size(), 6);
        QCOMPARE(cells(run(*connection, kCount)), QStringList(perInstance[1]));
        // The same SID on two instances is two sessions.
        QVERIFY(std::stoi(*run(*connection, "SELECT count(*) FROM sys.gv_$session WHERE sid = 1")
                               .rows.at(0)
                               .at(0)) == 3);
        const Result waiters =
            run(*connection,
                "SELECT inst_id, blocking_instance, blocking_session, "
                "final_blocking_instance FROM sys.gv_$session WHERE blocking_session "
                "IS NOT NULL ORDER BY inst_id, sid");
        QCOMPARE(column(waiters), QStringList({"1", "1", "3"}));
        QCOMPARE(column(waiters, 1), QStringList(3, "2"));
        QCOMPARE(column(waiters, 3), QStringList(3, "2"));
        const std::string holder = *waiters.rows[0][2];
        const std::string serial =
            *run(*connection,
                 "SELECT serial# FROM sys.gv_$session WHERE inst_id = 2 AND sid = " + holder)
                 .rows.at(0)
                 .at(0);
        const std::string id = holder + "," + serial;
        QCOMPARE(run(*connection, "ALTER SYSTEM KILL SESSION '" + id + ",@3' IMMEDIATE").error.code,
                 30);
        QCOMPARE(run(*connection, "ALTER SYSTEM KILL SESSION '" + id + ",@4'").error.code, 30);
        QVERIFY(run(*connection, "ALTER SYSTEM KILL SESSION '" + id + ",@2' IMMEDIATE").error.ok());
        QCOMPARE(cells(run(*connection,
                           "SELECT count(*) FROM sys.gv_$session WHERE "
                           "blocking_session IS NOT NULL")),
                 QStringList("0"));
        QCOMPARE(
            run(*logOn("rac", "monitor", "monitor"), "SELECT sid FROM sys.gv_$session").error.code,
            942);
    }

    // In the root of a container database V$SESSION shows every container's sessions and
    // V$CONTAINERS names them; inside a pluggable database only its own.
    void containerViews_data() {
        QTest::addColumn<int>("logon");
        QTest::addColumn<QString>("conName");
        QTest::addColumn<QStringList>("containers");
        QTest::newRow("root") << 1 << "CDB$ROOT"
                              << QStringList({"1", "CDB$ROOT", "2", "PDB$SEED", "3", "SALES", "4",
                                              "HR", "5", "ARCHIVE"});
        QTest::newRow("pluggable") << 3 << "SALES" << QStringList({"3", "SALES"});
    }
    void containerViews() {
        QFETCH(int, logon);
        QFETCH(QString, conName);
        QFETCH(QStringList, containers);
        sim::ScenarioSpec setup;
        setup.databaseName = "CDB";
        setup.containers = {
            {3, "SALES", "READ WRITE"}, {4, "HR", "READ WRITE"}, {5, "ARCHIVE", "MOUNTED"}};
        setup.logonContainer = logon;
        setup.sessions = {session(1, std::nullopt), session(7, "HR"), session(8, "SCOTT"),
                          session(9, "SYSTEM")};
        setup.sessions[1].container = 4;
        setup.sessions[2].container = 3;
        setup.sessions[3].container = 1;
        Controls::instance().defineScenario("cdb1", setup);
        const auto connection = logOn("cdb1");
        QCOMPARE(cells(run(*connection,
                           "SELECT SYS_CONTEXT('USERENV', 'CON_ID'), "
                           "SYS_CONTEXT('USERENV', 'CON_NAME') FROM dual")),
                 QStringList({QString::number(logon), conName}));
        QCOMPARE(
            cells(run(*connection, "SELECT con_id, name FROM sys.v_$containers ORDER BY con_id")),
            containers);
        QCOMPARE(column(run(*connection, "SELECT con_id FROM sys.v_$session ORDER BY sid")),
                 logon == 1 ? QStringList({"0", "4", "3", "1"}) : QStringList("3"));
        // Outside a container database the one container is the database itself.
        QCOMPARE(cells(run(*logOn("demo"), "SELECT con_id, name FROM sys.v_$containers")),
                 QStringList({"0", "SIM"}));
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
        QTest::newRow("aliased, equal names in session-id order")
            << "SELECT s.username || s.sid FROM sys.v_$session s ORDER BY s.username"
            << QStringList({"HR2", "SCOTT1", "SCOTT4", "NULL"});
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

    // One of each kind: an idle holder, a busy session with its own values, two waiters in a
    // chain, one on CPU, a background process.
    static sim::ScenarioSpec workingSessions() {
        const std::int64_t t = kNow;
        sim::ScenarioSpec setup;
        setup.sessions = {session(1, std::nullopt), session(7, "SCOTT"), session(8, "HR"),
                          session(9, "APP"),        session(10, "APP"),  session(11, "APP")};
        setup.sessions[0].program = "oracle@dbhost01 (PMON)";
        setup.sessions[1].statusSince = t - 42;
        sim::SessionSpec& busy = setup.sessions[2];
        busy.status = "ACTIVE";
        busy.event = "db file sequential read";
        busy.waitSince = t - 3;
        busy.waitMicros = 1500;
        busy.module = "HR_APP";
        busy.action = "PAYROLL";
        busy.clientIdentifier = "hr:jdoe";
        busy.serviceName = "HRPROD";
        busy.process = "4242:17";
        busy.sqlText = "UPDATE emp SET sal = sal * 1.1";
        setup.sessions[3].status = setup.sessions[4].status = setup.sessions[5].status = "ACTIVE";
        setup.sessions[3].blockingSession = 7;
        setup.sessions[3].statusSince = t - 30;
        setup.sessions[4].event = "log file sync";
        setup.sessions[4].state = "WAITED KNOWN TIME";
        setup.sessions[4].waitMicros = 25000;
        setup.sessions[5].blockingSession = 9;
        return setup;
    }

    void sessionColumns_data() {
        QTest::addColumn<int>("sid");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("value");
        const auto row = [](const char* name, int sid, const char* expression, const char* value) {
            QTest::newRow(name) << sid << expression << value;
        };
        row("idle event", 7, "event", "SQL*Net message from client");
        row("idle class", 7, "wait_class", "Idle");
        row("idle state", 7, "state", "WAITING");
        row("idle since its status changed", 7, "last_call_et", "42");
        row("idle as long in its wait", 7, "seconds_in_wait", "42");
        row("idle wait in microseconds", 7, "wait_time_micro", "42000000");
        row("idle has no holder", 7, "NVL(TO_CHAR(blocking_session), blocking_session_status)",
            "NO HOLDER");
        row("holder is in a transaction", 7, "LENGTH(taddr)", "16");
        row("module from the program", 7, "module", "sqlplus@client (TNS V1-V3)");
        row("users' service", 7, "service_name", "SYS$USERS");
        row("server", 7, "server", "DEDICATED");
        row("no statement, no child", 7, "NVL(TO_CHAR(sql_child_number), 'none')", "none");
        row("not a container database", 7, "con_id", "0");
        row("addresses", 7, "LENGTH(saddr) || ' ' || LENGTH(paddr)", "16 16");
        row("event's class looked up", 8, "wait_class", "User I/O");
        row("a named event is waited on", 8, "state", "WAITING");
        row("microseconds beyond the seconds", 8, "wait_time_micro", "3001500");
        row("seconds in the wait", 8, "seconds_in_wait", "3");
        row("own module", 8, "module", "HR_APP");
        row("own action", 8, "action", "PAYROLL");
        row("client identifier", 8, "client_identifier", "hr:jdoe");
        row("own service", 8, "service_name", "HRPROD");
        row("Windows process", 8, "process", "4242:17");
        row("changing data opens a transaction", 8, "LENGTH(taddr)", "16");
        row("statement's child", 8, "sql_child_number", "0");
        row("SQL_ID found in V$SQLTEXT", 8,
            "(SELECT count(*) FROM sys.v_$sqltext t WHERE t.sql_id = s.sql_id)", "1");
        row("row lock", 9, "event", "enq: TX - row lock contention");
        row("row lock class", 9, "wait_class", "Application");
        row("holder", 9, "blocking_session", "7");
        row("holder's instance", 9, "blocking_instance", "1");
        row("holder valid", 9, "blocking_session_status", "VALID");
        row("end of the chain", 9, "final_blocking_session", "7");
        row("end valid", 9, "final_blocking_session_status || final_blocking_instance", "VALID1");
        row("second in the chain", 11, "blocking_session || ' ' || final_blocking_session", "9 7");
        row("quoted number compared", 7,
            "(SELECT count(*) FROM sys.v_$session WHERE blocking_session = '7')", "1");
        row("on CPU", 10, "blocking_session_status", "NOT IN WAIT");
        row("on CPU after a known wait", 10, "state || ' ' || wait_class",
            "WAITED KNOWN TIME Commit");
        row("last wait's length", 10, "wait_time_micro", "25000");
        row("background's idle wait", 1, "event || ' ' || wait_class", "pmon timer Idle");
        row("background service", 1, "service_name", "SYS$BACKGROUND");
        row("background module", 1, "NVL(module, 'none')", "none");
    }
    void sessionColumns() {
        QFETCH(int, sid);
        QFETCH(QString, expression);
        QFETCH(QString, value);
        Controls::instance().defineScenario("working", workingSessions());
        const auto connection = logOn("working");
        const Result result = run(*connection, "SELECT " + expression.toStdString() +
                                                   " FROM sys.v_$session s WHERE s.sid = '" +
                                                   std::to_string(sid) + "'");
        QVERIFY2(result.error.ok(), result.error.text.c_str());
        QCOMPARE(column(result), QStringList(value));
    }

    // LAST_CALL_ET counts from the last change of status, the wait columns from the wait's start.
    void clockColumnsFollowTheClock() {
        Controls::instance().defineScenario("working", workingSessions());
        const auto connection = logOn("working");
        const std::string clocks =
            "SELECT last_call_et, seconds_in_wait, wait_time_micro FROM sys.v_$session WHERE "
            "sid IN (7, 8) ORDER BY sid";
        const QStringList before = {"42", "42", "42000000", "0", "3", "3001500"};
        QCOMPARE(cells(run(*connection, clocks)), before);
        Controls::instance().advanceClock(30);
        QCOMPARE(cells(run(*connection, clocks)),
                 QStringList({"72", "72", "72000000", "30", "33", "33001500"}));
        QVERIFY(run(*connection, kill("7", "1")).error.ok());
        QCOMPARE(cells(run(*connection, clocks)).first(), QStringLiteral("0"));

        // In the demo a status that changes at a tick starts again from that tick.
        const auto demo = logOn("demo");
        const std::string statuses =
            "SELECT sid, status, last_call_et FROM sys.v_$session WHERE type = 'USER' AND "
            "username <> 'SYSTEM' ORDER BY sid";
        const Result first = run(*demo, statuses);
        Controls::instance().advanceClock(5);
        const Result second = run(*demo, statuses);
        int changed = 0;
        for (const Row& now : second.rows) {
            const auto then = std::find_if(first.rows.begin(), first.rows.end(),
                                           [&](const Row& r) { return r[0] == now[0]; });
            if (then == first.rows.end())
                continue;
            const bool same = (*then)[1] == now[1];
            changed += same ? 0 : 1;
            QCOMPARE(std::stoi(*now[2]), same ? std::stoi(*(*then)[2]) + 5 : 4);
        }
        QVERIFY(changed > 0);
    }

    void demoHoldsALockChain() {
        const auto connection = logOn("demo");
        const std::string waiters =
            "SELECT blocking_session, blocking_instance, blocking_session_status, "
            "final_blocking_session, event, wait_class, state, status FROM sys.v_$session WHERE "
            "blocking_session IS NOT NULL ORDER BY sid";
        const Result chain = run(*connection, waiters);
        QCOMPARE(chain.rows.size(), std::size_t(3));
        const QString holder = QString::fromStdString(*chain.rows[0][0]);
        for (std::size_t i = 0; i < chain.rows.size(); ++i) {
            QCOMPARE(cells(chain).mid(int(i) * 8, 8),
                     QStringList({holder, "1", "VALID", holder, "enq: TX - row lock contention",
                                  "Application", "WAITING", "ACTIVE"}));
        }
        QCOMPARE(cells(run(*connection,
                           "SELECT status, event, LENGTH(taddr) FROM sys.v_$session "
                           "WHERE sid = " +
                               holder.toStdString())),
                 QStringList({"INACTIVE", "SQL*Net message from client", "16"}));
        const std::string checks =
            "SELECT count(*) FROM sys.v_$session s, sys.v_$sqltext t WHERE s.sql_id = t.sql_id "
            "AND t.piece = 0 AND SUBSTR(t.sql_text, 1, 6) = 'UPDATE' AND s.blocking_session IS "
            "NOT NULL UNION ALL SELECT count(*) FROM sys.v_$session WHERE blocking_session IS "
            "NULL AND blocking_session_status <> CASE state WHEN 'WAITING' THEN 'NO HOLDER' ELSE "
            "'NOT IN WAIT' END UNION ALL SELECT count(*) FROM sys.v_$session WHERE sql_id NOT IN "
            "(SELECT sql_id FROM sys.v_$sqltext)";
        QCOMPARE(cells(run(*connection, checks)), QStringList({"3", "0", "0"}));
        // The chain outlasts an hour of comings and goings around it.
        Controls::instance().advanceClock(3600);
        const Result later = run(*connection, waiters);
        QCOMPARE(column(later), QStringList(3, holder));
        QCOMPARE(column(later, 6), QStringList(3, "WAITING"));
        QCOMPARE(cells(run(*connection, checks)), QStringList({"3", "0", "0"}));
    }

    void waitersGoOnWhenTheHolderGoes_data() {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("holder");
        QTest::addColumn<QStringList>("stillBlocked");
        QTest::newRow("demo") << "demo"
                              << "" << QStringList();
        QTest::newRow("middle of a chain moves up") << "working"
                                                    << "7" << QStringList({"9 9"});
    }
    void waitersGoOnWhenTheHolderGoes() {
        QFETCH(QString, scenario);
        QFETCH(QString, holder);
        QFETCH(QStringList, stillBlocked);
        Controls::instance().defineScenario("working", workingSessions());
        const auto connection = logOn(scenario.toStdString());
        const std::string blocked =
            "SELECT blocking_session || ' ' || final_blocking_session FROM sys.v_$session WHERE "
            "blocking_session IS NOT NULL ORDER BY sid";
        if (holder.isEmpty())
            holder = column(run(*connection, blocked)).first().section(' ', 0, 0);
        const std::string of = " FROM sys.v_$session WHERE sid = ";
        const std::string waiter =
            *run(*connection, "SELECT min(sid) FROM sys.v_$session WHERE blocking_session = " +
                                  holder.toStdString())
                 .rows.at(0)
                 .at(0);
        const std::string state =
            "SELECT status, state, event, blocking_session_status, NVL(TO_CHAR(blocking_session), "
            "'none'), wait_time_micro" +
            of + waiter;
        const QStringList waiting = cells(run(*connection, state));
        const Result serial = run(*connection, "SELECT serial#" + of + holder.toStdString());
        QVERIFY(run(*connection, kill(holder.toStdString(), *serial.rows.at(0).at(0))).error.ok());
        QCOMPARE(cells(run(*connection, state)), waiting);  // still locked while rolling back
        Controls::instance().advanceClock(1);
        QCOMPARE(column(run(*connection, blocked)), stillBlocked);
        const QStringList released = cells(run(*connection, state));
        QCOMPARE(released.mid(0, 5),
                 QStringList({"ACTIVE", "WAITED KNOWN TIME", "enq: TX - row lock contention",
                              "NOT IN WAIT", "none"}));
        // The row lock's whole wait is now its last wait.
        QVERIFY(released[5].toLongLong() >= waiting[5].toLongLong() + 1000000);
    }

    void longOperationsAdvanceUntilDone() {
        sim::ScenarioSpec setup;
        setup.sessions = {session(20, "SCOTT", 7), session(21, "HR", 8)};
        setup.longOps = {{20, 1, "Table Scan", "SCOTT.BIG", "", "Blocks", 40, 100, 30, kNow - 20},
                         {21, 1, "Gather Schema Statistics", "", "", "Objects", 0, 0, 0, kNow}};
        Controls::instance().defineScenario("longops", setup);
        const auto connection = logOn("longops");
        const std::string longOps =
            "SELECT sid, serial#, opname, NVL(target, '-'), sofar, totalwork, units, "
            "NVL(TO_CHAR(time_remaining), '-'), elapsed_seconds, message FROM "
            "sys.v_$session_longops ORDER BY sid";
        QCOMPARE(cells(run(*connection, longOps)),
                 QStringList({"20",
                              "7",
                              "Table Scan",
                              "SCOTT.BIG",
                              "40",
                              "100",
                              "Blocks",
                              "30",
                              "20",
                              "Table Scan:  SCOTT.BIG: 40 out of 100 Blocks done",
                              "21",
                              "8",
                              "Gather Schema Statistics",
                              "-",
                              "0",
                              "0",
                              "Objects",
                              "-",
                              "0",
                              "Gather Schema Statistics:  : 0 out of 0 Objects done"}));
        // One tick later (the clock's ticks fall on multiples of five seconds), then done.
        Controls::instance().advanceClock(5);
        QCOMPARE(cells(run(*connection, longOps)).mid(4, 6),
                 QStringList({"70", "100", "Blocks", "9", "21",
                              "Table Scan:  SCOTT.BIG: 70 out of 100 Blocks done"}));
        Controls::instance().advanceClock(60);
        QCOMPARE(cells(run(*connection, longOps)).mid(4, 5),
                 QStringList({"100", "100", "Blocks", "0", "26"}));
    }

    void demoRunsAScanAndABackup() {
        const auto connection = logOn("demo");
        const std::string current =
            "SELECT l.opname, l.target, l.units, s.status, s.program FROM sys.v_$session_longops "
            "l, sys.v_$session s WHERE s.sid = l.sid AND s.serial# = l.serial# AND l.sofar < "
            "l.totalwork ORDER BY l.opname DESC";
        QCOMPARE(cells(run(*connection, current)),
                 QStringList({"Table Scan", "APP_OWNER.ORDER_LINES", "Blocks", "ACTIVE",
                              "python3.11@etl-node-03 (TNS V1-V3)", "RMAN: full datafile backup",
                              "NULL", "Blocks", "ACTIVE", "rman@dbhost01 (TNS V1-V3)"}));
        const std::string done = "SELECT sofar FROM sys.v_$session_longops ORDER BY opname DESC";
        const QStringList before = column(run(*connection, done));
        Controls::instance().advanceClock(5);
        const QStringList after = column(run(*connection, done));
        for (int i = 0; i < 2; ++i)
            QVERIFY(after[i].toLongLong() > before[i].toLongLong());
        // Past its end the scan starts again; the finished one stays listed.
        Controls::instance().advanceClock(1200);
        QCOMPARE(cells(run(*connection,
                           "SELECT count(*), SUM(CASE WHEN sofar < totalwork THEN 1 ELSE 0 END) "
                           "FROM sys.v_$session_longops WHERE opname = 'Table Scan'")),
                 QStringList({"2", "1"}));
    }

    void displayCursor_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("lines");
        const QString scan =
            "SELECT /*+ FULL(l) */ l.order_id, SUM(l.quantity * l.unit_price) "
            "total FROM order_lines l GROUP BY l.order_id";
        const QString dashes(82, '-');
        QTest::newRow("plan of a running scan")
            << "system"
            << "manager" << scan << 0
            << QStringList({"SQL_ID  %1, child number 0", "-------------------------------------",
                            scan, "NULL", "Plan hash value: 1445667737", "NULL", dashes,
                            "| Id  | Operation          | Name        | Rows  | Bytes | Cost "
                            "(%CPU)| Time     |",
                            dashes,
                            "|   0 | SELECT STATEMENT   |             |       |       |  3980 "
                            "(100)|          |",
                            "|   1 |  HASH GROUP BY     |             | 1500K |   25M |  3980 "
                            "  (8)| 00:00:02 |",
                            "|   2 |   TABLE ACCESS FULL| ORDER_LINES | 1500K |   25M |  3699 "
                            "  (1)| 00:00:02 |",
                            dashes, "NULL"});
        const QStringList note = {
            "NOTE: cannot fetch plan for SQL_ID: %1, CHILD_NUMBER: 0",
            "      Please verify value of SQL_ID and CHILD_NUMBER; ",
            "      It could also be that the plan is no longer in cursor cache (check v$sql_plan)",
            "NULL"};
        QTest::newRow("left the shared pool")
            << "system"
            << "manager"
            << "" << 0 << QStringList({"SQL_ID  %1, child number 0", "NULL"}) + note;
        QTest::newRow("PL/SQL has no plan")
            << "system"
            << "manager"
            << "BEGIN sys.dbms_backup_restore.backupDataFile(dfnumber => 7, max_corrupt => 0); "
               "END;"
            << 0
            << QStringList({"SQL_ID  %1, child number 0", "-------------------------------------",
                            "BEGIN sys.dbms_backup_restore.backupDataFile(dfnumber => 7, "
                            "max_corrupt => 0); END;",
                            "NULL"}) +
                   note;
        QTest::newRow("monitor may not read V$SQL_PLAN")
            << "monitor"
            << "monitor" << scan << 0
            << QStringList({"User has no SELECT privilege on V$SQL_PLAN"});
        QTest::newRow("scott may not read V$SESSION")
            << "scott"
            << "tiger" << scan << 0 << QStringList({"User has no SELECT privilege on V$SESSION"});
        QTest::newRow("no DISPLAY_CURSOR before release 10")
            << "system"
            << "manager" << scan << 904 << QStringList();
    }
    void displayCursor() {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, statement);
        QFETCH(int, error);
        QFETCH(QStringList, lines);
        sim::ScenarioSpec setup;
        setup.sessions = {session(20, "BATCH_ETL")};
        setup.sessions[0].sqlText =
            statement.isEmpty() ? std::nullopt : std::optional(statement.toStdString());
        setup.release.major = error == 0 ? 19 : 9;
        Controls::instance().defineScenario("plans", setup);
        const auto system = logOn("plans");
        const auto connection = logOn("plans", user.toStdString(), password.toStdString());
        const QStringList sqlId = column(run(*system, "SELECT sql_id FROM sys.v_$session"));
        const std::string id = error ? "6m45ssu9uufxg" : sqlId.first().toStdString();
        const Result plan = run(
            *connection, "SELECT plan_table_output FROM TABLE(DBMS_XPLAN.DISPLAY_CURSOR('" +
                             (statement.isEmpty() ? "9babjv8yq8ru3" : id) + "', 0, 'TYPICAL'))");
        QCOMPARE(plan.error.code, error);
        const QString shown = statement.isEmpty() ? "9babjv8yq8ru3" : QString::fromStdString(id);
        QStringList expected;
        for (const QString& line : lines)
            expected << QString(line).replace("%1", shown);
        QCOMPARE(column(plan), expected);
    }

    void olderReleasesLackColumns_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("second");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("error");
        const auto row = [](const char* name, int major, int second, const char* select,
                            const char* error) {
            QTest::newRow(name) << major << second
                                << QString("SELECT %1 FROM sys.v_$session a").arg(select) << error;
        };
        const auto where = [](const char* name, int major, int second, const char* condition,
                              const char* error) {
            QTest::newRow(name) << major << second
                                << QString("SELECT sid FROM sys.v_$session WHERE %1").arg(condition)
                                << error;
        };
        const char* none = "";
        row("9.2: the list", 9, 2, "username, sid, serial#, status, osuser, machine, program",
            none);
        row("9.2: no SQL_ID", 9, 2, "sql_id", "\"SQL_ID\"");
        where("9.2: no EVENT", 9, 2, "event = 'pmon timer'", "\"EVENT\"");
        row("9.2: no BLOCKING_SESSION", 9, 2, "a.blocking_session", "\"A\".\"BLOCKING_SESSION\"");
        row("9.2: CLIENT_IDENTIFIER", 9, 2, "client_identifier, module, last_call_et, taddr", none);
        row("10.2: blocking and waits", 10, 2, "blocking_session, event, state, service_name",
            none);
        row("10.2: no WAIT_TIME_MICRO", 10, 2, "wait_time_micro", "\"WAIT_TIME_MICRO\"");
        row("11.1: WAIT_TIME_MICRO", 11, 1, "wait_time_micro", none);
        row("11.1: no FINAL_BLOCKING_SESSION", 11, 1, "final_blocking_session",
            "\"FINAL_BLOCKING_SESSION\"");
        row("11.2: FINAL_BLOCKING_SESSION", 11, 2, "final_blocking_session_status", none);
        where("11.2: no CON_ID", 11, 2, "con_id = 0", "\"CON_ID\"");
        where("11.2: numbers compared with text", 11, 2, "blocking_session = '7' OR sid = '7'",
              none);
        row("12.1: CON_ID", 12, 1, "con_id", none);
        QTest::newRow("9.2: no SQL_ID in V$SQLTEXT")
            << 9 << 2 << "SELECT sql_id FROM sys.v_$sqltext"
            << "\"SQL_ID\"";
        QTest::newRow("9.2: V$SQLTEXT")
            << 9 << 2 << "SELECT count(piece) FROM sys.v_$sqltext" << none;
    }
    void olderReleasesLackColumns() {
        QFETCH(int, major);
        QFETCH(int, second);
        QFETCH(QString, sql);
        QFETCH(QString, error);
        sim::ScenarioSpec setup;
        setup.sessions.push_back(session(7, "SCOTT"));
        setup.release = {major, second, 0, 4, 0};
        Controls::instance().defineScenario("old", setup);
        const auto connection = logOn("old");
        const Result result = run(*connection, sql.toStdString());
        QCOMPARE(QString::fromStdString(result.error.text),
                 error.isEmpty() ? QString() : "ORA-00904: " + error + ": invalid identifier");
        QCOMPARE(result.rows.size(), std::size_t(error.isEmpty() ? 1 : 0));
    }

    void serverRelease_data() {
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<quint32>("version");
        QTest::addColumn<QString>("banner");
        QTest::newRow("default 19c") << QList<int>() << quint32(0x13150000)
                                     << "Oracle Database 19c Enterprise Edition Release "
                                        "19.0.0.0.0 - Production\nVersion 19.21.0.0.0";
        QTest::newRow("23ai") << QList<int>{23, 5, 0, 24, 7} << quint32(0x17050187)
                              << "Oracle Database 23ai Enterprise Edition Release 23.0.0.0.0 - "
                                 "Production\nVersion 23.5.0.24.07";
        QTest::newRow("18c") << QList<int>{18, 3, 0, 0, 0} << quint32(0x12030000)
                             << "Oracle Database 18c Enterprise Edition Release 18.0.0.0.0 - "
                                "Production\nVersion 18.3.0.0.0";
        QTest::newRow("12.2") << QList<int>{12, 2, 0, 1, 0} << quint32(0x0C200100)
                              << "Oracle Database 12c Enterprise Edition Release 12.2.0.1.0 - "
                                 "64bit Production";
        QTest::newRow("11.2") << QList<int>{11, 2, 0, 4, 0} << quint32(0x0B200400)
                              << "Oracle Database 11g Enterprise Edition Release 11.2.0.4.0 - "
                                 "64bit Production";
        QTest::newRow("9.2") << QList<int>{9, 2, 0, 8, 0} << quint32(0x09200800)
                             << "Oracle9i Enterprise Edition Release 9.2.0.8.0 - 64bit Production";
    }
    void serverRelease() {
        QFETCH(QList<int>, numbers);
        QFETCH(quint32, version);
        QFETCH(QString, banner);
        sim::ScenarioSpec setup;
        if (!numbers.isEmpty())
            setup.release = {numbers[0], numbers[1], numbers[2], numbers[3], numbers[4]};
        Controls::instance().defineScenario("released", setup);
        const auto connection = logOn(numbers.isEmpty() ? "demo" : "released");
        const sim::ServerRelease release = connection->serverRelease();
        QCOMPARE(release.version, version);
        QCOMPARE(QString::fromStdString(release.banner), banner);
    }

    // A busy instance's thousands of pooled sessions mostly sit idle; every value fits its column.
    void valuesFitTheirColumns_data() {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("fewestActive");
        QTest::addColumn<int>("mostActive");
        QTest::newRow("demo") << "demo" << 20 << 40;
        QTest::newRow("large") << "large" << 100 << 1000;
    }
    void valuesFitTheirColumns() {
        QFETCH(QString, scenario);
        QFETCH(int, fewestActive);
        QFETCH(int, mostActive);
        const auto connection = logOn(scenario.toStdString());
        const int active =
            countOf(*connection) - std::stoi(*run(*connection,
                                                  "SELECT count(*) FROM sys.v_$session "
                                                  "WHERE status <> 'ACTIVE'")
                                                  .rows.at(0)
                                                  .at(0));
        QVERIFY2(active >= fewestActive && active <= mostActive, std::to_string(active).c_str());
        // Bytes for a VARCHAR2, two hex digits a byte for a RAW.
        std::string widths =
            "SELECT count(*) FROM sys.v_$session WHERE event IS NULL OR "
            "service_name IS NULL OR (type = 'BACKGROUND') <> (service_name = "
            "'SYS$BACKGROUND') OR wait_time_micro < 0 OR last_call_et < 0 OR "
            "seconds_in_wait < 0";
        for (const sim::ViewColumn& c : sim::sessionColumns()) {
            const std::string name = std::string(c.name), width = std::to_string(c.width);
            if (c.type == sim::ViewColumn::Type::Varchar2)
                widths += " OR LENGTH(CAST(" + name + " AS BLOB)) > " + width;
            if (c.type == sim::ViewColumn::Type::Raw)
                widths += " OR LENGTH(" + name + ") <> 2 * " + width;
        }
        QCOMPARE(cells(run(*connection, widths)), QStringList("0"));
    }
};

QTEST_GUILESS_MAIN(tst_Sim)
#include "tst_sim.moc"
