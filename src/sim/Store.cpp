#include "Store.h"

#include <sqlite3.h>

#include <cstdio>
#include <stdexcept>

#include "OraText.h"
#include "SessionColumns.h"
#include "StoreBinding.h"

namespace sim {

namespace {

// V$SESSION's rows live in X$KSUSE, as on a real server; the view shows a release's columns.
constexpr const char* kSchema = R"(
ATTACH DATABASE ':memory:' AS sys;
CREATE TABLE sys."x$ksuse" (
    sid INTEGER PRIMARY KEY, "serial#" NUMBER, username VARCHAR2(128), status VARCHAR2(8),
    osuser VARCHAR2(128), machine VARCHAR2(64), program VARCHAR2(48), type VARCHAR2(10),
    logon_time DATE, schemaname VARCHAR2(128), sql_address TEXT, sql_hash_value NUMBER,
    sql_id VARCHAR2(13), saddr TEXT, paddr TEXT, taddr VARCHAR2(16), server VARCHAR2(9),
    process VARCHAR2(24), module VARCHAR2(64), action VARCHAR2(64),
    client_identifier VARCHAR2(64), service_name VARCHAR2(64), event VARCHAR2(64),
    wait_class VARCHAR2(64), state VARCHAR2(19), blocking_session NUMBER,
    final_blocking_session NUMBER, status_since INTEGER, wait_since INTEGER,
    wait_micros INTEGER);
CREATE INDEX sys.session_username ON "x$ksuse" (username);
CREATE TABLE sys."v_$transaction" (
    addr TEXT PRIMARY KEY, ses_addr TEXT, status VARCHAR2(16), start_time VARCHAR2(20),
    start_date DATE, used_ublk NUMBER, used_urec NUMBER);
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

std::string transactionAddress(int sid) {
    return address(0xA3A51000, sid, 0x248);
}

std::string sessionAddress(int sid) {
    return address(0xA17E0000, sid, 0x3F8);
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
    exec(std::string(R"(CREATE TABLE sys."v_$sqltext" (address TEXT, hash_value NUMBER, )") +
         (m_sqlIds ? "sql_id VARCHAR2(13), " : "") +
         R"(command_type NUMBER, piece NUMBER, sql_text VARCHAR2(64));
            CREATE INDEX sys.sqltext_address ON "v_$sqltext" (address, piece);)");
    sqlite3_set_authorizer(m_db, &Store::authorize, this);
    m_insertSession = prepare(
        R"(INSERT INTO sys."x$ksuse" (sid, "serial#", username, status, osuser, machine,
           program, type, logon_time, schemaname, sql_address, sql_hash_value, sql_id, saddr,
           paddr, taddr, server, process, module, action, client_identifier, service_name,
           event, wait_class, state, blocking_session, status_since, wait_since, wait_micros)
           VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?,
           ?, ?, ?))");
    m_deleteSession = prepare(R"(DELETE FROM sys."x$ksuse" WHERE sid = ?)");
    m_updateStatus =
        prepare(R"(UPDATE sys."x$ksuse" SET status = ?, status_since = ? WHERE sid = ?)");
    m_updateWait = prepare(
        R"(UPDATE sys."x$ksuse" SET event = ?, wait_class = ?, state = ?, wait_since = ?,
           wait_micros = ? WHERE sid = ?)");
    m_updateSql = prepare(
        R"(UPDATE sys."x$ksuse" SET sql_address = ?, sql_hash_value = ?, sql_id = ? WHERE sid = ?)");
    m_updateBlockers = prepare(
        R"(UPDATE sys."x$ksuse" SET blocking_session = ?, final_blocking_session = ?
           WHERE sid = ?)");
    m_updateTransaction = prepare(R"(UPDATE sys."x$ksuse" SET taddr = ? WHERE sid = ?)");
    m_insertTransaction =
        prepare(R"(INSERT INTO sys."v_$transaction" VALUES (?, ?, 'ACTIVE', ?, ?, ?, ?))");
    m_deleteTransaction = prepare(R"(DELETE FROM sys."v_$transaction" WHERE addr = ?)");
    m_restartWaits =
        prepare(R"(UPDATE sys."x$ksuse" SET wait_since = ? WHERE type = 'BACKGROUND')");
    m_startCall =
        prepare(R"(UPDATE sys."x$ksuse" SET status_since = ?, wait_since = ? WHERE sid = ?)");
    m_insertPiece = prepare(
        R"(INSERT INTO sys."v_$sqltext" (address, hash_value, command_type, piece, sql_text)" +
        std::string(m_sqlIds ? ", sql_id) VALUES (?, ?, ?, ?, ?, ?)" : ") VALUES (?, ?, ?, ?, ?)"));
    m_deletePieces = prepare(R"(DELETE FROM sys."v_$sqltext" WHERE address = ?)");
}

Store::~Store() {
    for (Prepared* statement :
         {&m_insertSession, &m_deleteSession, &m_updateStatus, &m_updateWait, &m_updateSql,
          &m_updateBlockers, &m_updateTransaction, &m_insertTransaction, &m_deleteTransaction,
          &m_restartWaits, &m_startCall, &m_insertPiece, &m_deletePieces}) {
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

LiveSession* Store::find(int sid) {
    const auto it = m_sessions.find(sid);
    return it == m_sessions.end() ? nullptr : &it->second;
}

int Store::add(const SessionSpec& spec, bool own) {
    const SessionSpec session = completed(spec);
    const int sid = session.sid > 0 && !m_sessions.count(session.sid) ? session.sid : nextSid();
    LiveSession live;
    live.serial = session.serial;
    live.user = session.type != "BACKGROUND";
    live.own = own;
    live.status = session.status;
    live.work = workOf(session.sqlText);
    live.wait = {*session.event, *session.waitClass, *session.state, *session.waitSince,
                 session.waitMicros};
    live.blocker = session.blockingSession.value_or(0);
    sqlite3_stmt* s = m_insertSession.get();
    bind(s, 1, sid);
    bind(s, 2, session.serial);
    bind(s, 3, session.username);
    bind(s, 4, session.status);
    bind(s, 5, session.osuser);
    bind(s, 6, session.machine);
    bind(s, 7, session.program);
    bind(s, 8, session.type);
    bind(s, 9, localIsoDate(session.logonTime));
    bind(s, 10, session.schemaname);
    if (session.sqlText && !session.sqlText->empty()) {
        live.sqlAddress = useSql(*session.sqlText, s, 11, live.sqlId);
    }
    bind(s, 14, sessionAddress(sid));
    bind(s, 15, address(0xA0F40000, sid, 0x118));
    bind(s, 16, std::optional<std::string>());
    bind(s, 17, session.server);
    bind(s, 18, session.process);
    bind(s, 19, session.module);
    bind(s, 20, session.action);
    bind(s, 21, session.clientIdentifier);
    bind(s, 22, session.serviceName);
    bind(s, 23, live.wait.event);
    bind(s, 24, live.wait.waitClass);
    bind(s, 25, live.wait.state);
    bind(s, 26, session.blockingSession);
    bind(s, 27, *session.statusSince);
    bind(s, 28, live.wait.since);
    bind(s, 29, live.wait.micros);
    run(m_insertSession);
    if (live.blocker != 0) {
        m_waiters.insert(sid);
    }
    m_sessions.emplace(sid, std::move(live));
    if (*session.inTransaction) {
        openTransaction(sid, session.transactionSince.value_or(*session.statusSince),
                        session.undoRecords, session.undoBlocks);
    }
    return sid;
}

void Store::remove(int sid, std::int64_t now) {
    const auto it = m_sessions.find(sid);
    if (it == m_sessions.end()) {
        return;
    }
    releaseSql(it->second.sqlAddress);
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
