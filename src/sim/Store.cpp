#include "Store.h"

#include <sqlite3.h>

#include <cstdio>
#include <iterator>
#include <stdexcept>

#include "OraText.h"
#include "SessionColumns.h"
#include "StoreBinding.h"

namespace sim {

namespace {

// V$SESSION's rows live in X$KSUSE, as on a real server, those of every instance of a cluster
// in one table; the views show a release's columns of the client's instance and container.
constexpr const char* kSchema = R"(
ATTACH DATABASE ':memory:' AS sys;
CREATE TABLE sys."x$ksuse" (
    indx INTEGER PRIMARY KEY, sid NUMBER, inst_id NUMBER, con_id NUMBER, "serial#" NUMBER,
    username VARCHAR2(128), status VARCHAR2(8),
    osuser VARCHAR2(128), machine VARCHAR2(64), program VARCHAR2(48), type VARCHAR2(10),
    logon_time DATE, schemaname VARCHAR2(128), sql_address TEXT, sql_hash_value NUMBER,
    sql_id VARCHAR2(13), saddr TEXT, paddr TEXT, taddr VARCHAR2(16), server VARCHAR2(9),
    process VARCHAR2(24), module VARCHAR2(64), action VARCHAR2(64),
    client_identifier VARCHAR2(64), service_name VARCHAR2(64), event VARCHAR2(64),
    wait_class VARCHAR2(64), state VARCHAR2(19), blocking_session NUMBER,
    blocking_instance NUMBER, final_blocking_session NUMBER, final_blocking_instance NUMBER,
    status_since INTEGER, wait_since INTEGER, wait_micros INTEGER);
CREATE INDEX sys.session_username ON "x$ksuse" (username);
CREATE TABLE sys."x$ktcxb" (
    inst_id NUMBER, addr TEXT PRIMARY KEY, ses_addr TEXT, status VARCHAR2(16),
    start_time VARCHAR2(20), start_date DATE, used_ublk NUMBER, used_urec NUMBER);
CREATE VIEW sys."v_$transaction" AS SELECT addr, ses_addr, status, start_time, start_date,
    used_ublk, used_urec FROM sys."x$ktcxb" WHERE inst_id = sim_instance();
CREATE VIEW sys."gv_$transaction" AS SELECT inst_id, addr, ses_addr, status, start_time,
    start_date, used_ublk, used_urec FROM sys."x$ktcxb";
CREATE TABLE main.dual (dummy VARCHAR2(1));
INSERT INTO main.dual VALUES ('X');
)";

// Addresses in the SGA as RAW(8) shows them: 16 upper-case hex digits.
std::string address(std::uint64_t base, int sid, std::uint64_t size) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llX",
                  static_cast<unsigned long long>(base + static_cast<std::uint64_t>(sid) * size));
    return hex;
}

}  // namespace

std::string transactionAddress(int key) {
    return address(0xA3A51000, key, 0x248);
}

std::string sessionAddress(int key) {
    return address(0xA17E0000, key, 0x3F8);
}

void Store::Finalizer::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

Store::Store(const Release& release) : m_sqlIds(hasSqlId(release)) {
    if (sqlite3_open_v2(":memory:", &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        throw std::runtime_error("cannot open the in-memory store");
    }
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    registerOracleFunctions(m_db, &m_client);
    exec(kSchema);
    exec(sessionViewDdl(release));
    const std::string sqlId = m_sqlIds ? "sql_id, " : "";
    exec(R"(CREATE TABLE sys."x$kglna" (inst_id NUMBER, address TEXT, hash_value NUMBER, )" +
         std::string(m_sqlIds ? "sql_id VARCHAR2(13), " : "") +
         R"(command_type NUMBER, piece NUMBER, sql_text VARCHAR2(64));
            CREATE INDEX sys.sqltext_address ON "x$kglna" (inst_id, address, piece);
            CREATE VIEW sys."v_$sqltext" AS SELECT address, hash_value, )" +
         sqlId + R"(command_type, piece, sql_text FROM sys."x$kglna"
            WHERE inst_id = sim_instance();
            CREATE VIEW sys."gv_$sqltext" AS SELECT inst_id, address, hash_value, )" +
         sqlId + R"(command_type, piece, sql_text FROM sys."x$kglna";)");
    createLongOps(release);
    sqlite3_set_authorizer(m_db, &Store::authorize, this);
    m_insertSession = prepare(
        R"(INSERT INTO sys."x$ksuse" (indx, sid, inst_id, con_id, "serial#", username, status,
           osuser, machine, program, type, logon_time, schemaname, sql_address, sql_hash_value,
           sql_id, saddr, paddr, taddr, server, process, module, action, client_identifier,
           service_name, event, wait_class, state, blocking_session, blocking_instance,
           status_since, wait_since, wait_micros)
           VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?,
           ?, ?, ?, ?, ?, ?, ?))");
    m_deleteSession = prepare(R"(DELETE FROM sys."x$ksuse" WHERE indx = ?)");
    m_updateStatus =
        prepare(R"(UPDATE sys."x$ksuse" SET status = ?, status_since = ? WHERE indx = ?)");
    m_updateWait = prepare(
        R"(UPDATE sys."x$ksuse" SET event = ?, wait_class = ?, state = ?, wait_since = ?,
           wait_micros = ? WHERE indx = ?)");
    m_updateSql = prepare(
        R"(UPDATE sys."x$ksuse" SET sql_address = ?, sql_hash_value = ?, sql_id = ?
           WHERE indx = ?)");
    m_updateBlockers = prepare(
        R"(UPDATE sys."x$ksuse" SET blocking_session = ?, blocking_instance = ?,
           final_blocking_session = ?, final_blocking_instance = ? WHERE indx = ?)");
    m_updateTransaction = prepare(R"(UPDATE sys."x$ksuse" SET taddr = ? WHERE indx = ?)");
    m_insertTransaction =
        prepare(R"(INSERT INTO sys."x$ktcxb" VALUES (?, ?, ?, 'ACTIVE', ?, ?, ?, ?))");
    m_deleteTransaction = prepare(R"(DELETE FROM sys."x$ktcxb" WHERE addr = ?)");
    m_restartWaits =
        prepare(R"(UPDATE sys."x$ksuse" SET wait_since = ? WHERE type = 'BACKGROUND')");
    m_startCall =
        prepare(R"(UPDATE sys."x$ksuse" SET status_since = ?, wait_since = ? WHERE indx = ?)");
    m_insertPiece = prepare(
        R"(INSERT INTO sys."x$kglna" (inst_id, address, hash_value, command_type, piece,
           sql_text)" +
        std::string(m_sqlIds ? ", sql_id) VALUES (?, ?, ?, ?, ?, ?, ?)"
                             : ") VALUES (?, ?, ?, ?, ?, ?)"));
    m_deletePieces = prepare(R"(DELETE FROM sys."x$kglna" WHERE inst_id = ? AND address = ?)");
}

Store::~Store() {
    for (Prepared* statement :
         {&m_insertSession, &m_deleteSession, &m_updateStatus, &m_updateWait, &m_updateSql,
          &m_updateBlockers, &m_updateTransaction, &m_insertTransaction, &m_deleteTransaction,
          &m_restartWaits, &m_startCall, &m_insertPiece, &m_deletePieces, &m_insertLongOp,
          &m_updateLongOp, &m_deleteLongOp, &m_sqlTextById}) {
        statement->reset();
    }
    sqlite3_close(m_db);
}

Store::Prepared Store::prepare(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(m_db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
        SQLITE_OK) {
        throw std::logic_error(sqlite3_errmsg(m_db));
    }
    return Prepared(statement);
}

void Store::exec(const std::string& sql) {
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        throw std::logic_error(sqlite3_errmsg(m_db));
    }
}

void Store::run(const Prepared& statement) {
    const int rc = sqlite3_step(statement.get());
    sqlite3_reset(statement.get());
    sqlite3_clear_bindings(statement.get());
    if (rc != SQLITE_DONE) {
        throw std::logic_error(sqlite3_errmsg(m_db));
    }
}

void Store::begin() {
    exec("BEGIN");
}
void Store::commit() {
    exec("COMMIT");
}

int Store::nextSid() const {
    const auto last = m_sessions.lower_bound(kInstanceSpan);
    return last == m_sessions.begin() ? 1 : std::prev(last)->first + 1;
}

LiveSession* Store::find(int sid) {
    const auto it = m_sessions.find(sid);
    return it == m_sessions.end() ? nullptr : &it->second;
}

int Store::add(const SessionSpec& given, bool own) {
    const SessionSpec session = completed(given);
    const int wanted = sessionKey(session.instance, session.sid);
    const int key = session.sid > 0 && !m_sessions.count(wanted) ? wanted : nextSid();
    LiveSession live;
    live.serial = session.serial;
    live.instance = instanceOf(key);
    live.user = session.type != "BACKGROUND";
    live.own = own;
    live.status = session.status;
    live.work = workOf(session.sqlText);
    live.wait = {*session.event, *session.waitClass, *session.state, *session.waitSince,
                 session.waitMicros};
    live.blocker =
        session.blockingSession
            ? sessionKey(session.blockingInstance.value_or(live.instance), *session.blockingSession)
            : 0;
    sqlite3_stmt* s = m_insertSession.get();
    bind(s, 1, key);
    bind(s, 2, sidOf(key));
    bind(s, 3, live.instance);
    bind(s, 4, session.container);
    bind(s, 5, session.serial);
    bind(s, 6, session.username);
    bind(s, 7, session.status);
    bind(s, 8, session.osuser);
    bind(s, 9, session.machine);
    bind(s, 10, session.program);
    bind(s, 11, session.type);
    bind(s, 12, localIsoDate(session.logonTime));
    bind(s, 13, session.schemaname);
    if (session.sqlText && !session.sqlText->empty()) {
        live.sqlAddress = useSql(*session.sqlText, s, 14, live);
    }
    bind(s, 17, sessionAddress(key));
    bind(s, 18, address(0xA0F40000, key, 0x118));
    bind(s, 19, std::optional<std::string>());
    bind(s, 20, session.server);
    bind(s, 21, session.process);
    bind(s, 22, session.module);
    bind(s, 23, session.action);
    bind(s, 24, session.clientIdentifier);
    bind(s, 25, session.serviceName);
    bind(s, 26, live.wait.event);
    bind(s, 27, live.wait.waitClass);
    bind(s, 28, live.wait.state);
    bind(s, 29, session.blockingSession);
    bind(s, 30, session.blockingSession ? std::optional(instanceOf(live.blocker)) : std::nullopt);
    bind(s, 31, *session.statusSince);
    bind(s, 32, live.wait.since);
    bind(s, 33, live.wait.micros);
    run(m_insertSession);
    if (live.blocker != 0) {
        m_waiters.insert(key);
    }
    m_sessions.emplace(key, std::move(live));
    if (*session.inTransaction) {
        openTransaction(key, session.transactionSince.value_or(*session.statusSince),
                        session.undoRecords, session.undoBlocks);
    }
    return key;
}

void Store::remove(int sid, std::int64_t now) {
    const auto it = m_sessions.find(sid);
    if (it == m_sessions.end()) {
        return;
    }
    releaseSql(it->second.instance, it->second.sqlAddress);
    closeTransaction(sid);
    m_sessions.erase(it);
    run(m_deleteSession, sid);
    if (!m_waiters.empty()) {
        m_waiters.erase(sid);
        linkBlockers(now);
    }
}

void Store::setStatus(int sid, const std::string& status, std::int64_t at) {
    if (LiveSession* live = find(sid)) {
        live->status = status;
        run(m_updateStatus, status, at, sid);
    }
}

void Store::setWait(int sid, const Wait& wait) {
    if (LiveSession* live = find(sid)) {
        live->wait = wait;
        run(m_updateWait, wait.event, wait.waitClass, wait.state, wait.since, wait.micros, sid);
    }
}

void Store::restartBackgroundWaits(std::int64_t at) {
    for (auto& [sid, session] : m_sessions) {
        if (!session.user)
            session.wait.since = at;
    }
    run(m_restartWaits, at);
}

void Store::startCall(int sid, std::int64_t at) {
    if (LiveSession* live = find(sid)) {
        live->wait.since = at;
        run(m_startCall, at, at, sid);
    }
}

}  // namespace sim
