#include "Store.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "OraText.h"

namespace sim {

namespace {

constexpr const char* kSchema = R"(
ATTACH DATABASE ':memory:' AS sys;
CREATE TABLE sys."v_$session" (
    sid INTEGER PRIMARY KEY, "serial#" NUMBER, username VARCHAR2(128), status VARCHAR2(8),
    osuser VARCHAR2(128), machine VARCHAR2(64), program VARCHAR2(48), type VARCHAR2(10),
    logon_time DATE, schemaname VARCHAR2(128), sql_address TEXT, sql_hash_value NUMBER,
    sql_id VARCHAR2(13));
CREATE TABLE sys."v_$sqltext" (
    address TEXT, hash_value NUMBER, sql_id VARCHAR2(13), command_type NUMBER, piece NUMBER,
    sql_text VARCHAR2(64));
CREATE INDEX sys.session_username ON "v_$session" (username);
CREATE INDEX sys.sqltext_address ON "v_$sqltext" (address, piece);
CREATE TABLE main.dual (dummy VARCHAR2(1));
INSERT INTO main.dual VALUES ('X');
)";

constexpr std::size_t kPieceBytes = 64;

struct SqlIdentity {
    std::string address;  // RAW(8) as upper-case hex
    std::int64_t hash = 0;
    std::string sqlId;
    int commandType = 0;
};

SqlIdentity identify(const std::string& text) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : text) {
        h = (h ^ c) * 1099511628211ull;
    }
    SqlIdentity id;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llX", static_cast<unsigned long long>(h));
    id.address = hex;
    id.hash = static_cast<std::int64_t>(h & 0xffffffffu);
    static constexpr char kBase32[] = "0123456789abcdfghjkmnpqrstuvwxyz";
    for (int i = 12; i >= 0; --i) {
        id.sqlId += kBase32[(h >> (i * 5)) & 31];
    }
    const std::string verb = text.substr(0, text.find(' '));
    id.commandType = verb == "INSERT"                       ? 2
                     : verb == "SELECT"                     ? 3
                     : verb == "UPDATE"                     ? 6
                     : verb == "DELETE"                     ? 7
                     : verb == "BEGIN" || verb == "DECLARE" ? 47
                                                            : 3;
    return id;
}

// Pieces of at most 64 bytes that never split a UTF-8 character.
std::vector<std::string> pieces(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = std::min(text.size(), start + kPieceBytes);
        while (end < text.size() && end > start + 1 &&
               (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            --end;
        }
        out.push_back(text.substr(start, end - start));
        start = end;
    }
    return out;
}

void bindText(sqlite3_stmt* s, int i, const std::optional<std::string>& v) {
    if (v) {
        sqlite3_bind_text(s, i, v->data(), static_cast<int>(v->size()), SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_null(s, i);
    }
}

}  // namespace

void Store::Finalizer::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

Store::Store() {
    if (sqlite3_open_v2(":memory:", &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_MEMORY | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        throw std::runtime_error("cannot open the in-memory store");
    }
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    exec(kSchema);
    registerOracleFunctions(m_db, &m_client);
    sqlite3_set_authorizer(m_db, &Store::authorize, this);
    m_insertSession = prepare(
        R"(INSERT INTO sys."v_$session" (sid, "serial#", username, status, osuser, machine,
           program, type, logon_time, schemaname, sql_address, sql_hash_value, sql_id)
           VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?))");
    m_deleteSession = prepare(R"(DELETE FROM sys."v_$session" WHERE sid = ?)");
    m_updateStatus = prepare(R"(UPDATE sys."v_$session" SET status = ? WHERE sid = ?)");
    m_updateSql = prepare(
        R"(UPDATE sys."v_$session" SET sql_address = ?, sql_hash_value = ?, sql_id = ?
           WHERE sid = ?)");
    m_insertPiece = prepare(
        R"(INSERT INTO sys."v_$sqltext" (address, hash_value, sql_id, command_type, piece,
           sql_text) VALUES (?, ?, ?, ?, ?, ?))");
    m_deletePieces = prepare(R"(DELETE FROM sys."v_$sqltext" WHERE address = ?)");
}

Store::~Store() {
    m_insertSession.reset();
    m_deleteSession.reset();
    m_updateStatus.reset();
    m_updateSql.reset();
    m_insertPiece.reset();
    m_deletePieces.reset();
    sqlite3_close(m_db);
}

Store::Prepared Store::prepare(const char* sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
        SQLITE_OK) {
        throw std::logic_error(sqlite3_errmsg(m_db));
    }
    return Prepared(statement);
}

void Store::exec(const char* sql) {
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
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

int Store::add(const SessionSpec& session, bool own) {
    const int sid = session.sid > 0 && !m_sessions.count(session.sid) ? session.sid : nextSid();
    LiveSession live{session.serial, session.type != "BACKGROUND", own, session.status, {}, {}};
    sqlite3_stmt* s = m_insertSession.get();
    sqlite3_bind_int(s, 1, sid);
    sqlite3_bind_int(s, 2, session.serial);
    bindText(s, 3, session.username);
    bindText(s, 4, session.status);
    bindText(s, 5, session.osuser);
    bindText(s, 6, session.machine);
    bindText(s, 7, session.program);
    bindText(s, 8, session.type);
    bindText(s, 9, localIsoDate(session.logonTime));
    bindText(s, 10, session.schemaname);
    if (session.sqlText && !session.sqlText->empty()) {
        live.sqlAddress = useSql(*session.sqlText, s, 11);
    }
    run(m_insertSession);
    m_sessions.emplace(sid, std::move(live));
    return sid;
}

void Store::remove(int sid) {
    const auto it = m_sessions.find(sid);
    if (it == m_sessions.end()) {
        return;
    }
    releaseSql(it->second.sqlAddress);
    m_sessions.erase(it);
    sqlite3_bind_int(m_deleteSession.get(), 1, sid);
    run(m_deleteSession);
}

void Store::setStatus(int sid, const std::string& status) {
    LiveSession* live = find(sid);
    if (!live) {
        return;
    }
    live->status = status;
    bindText(m_updateStatus.get(), 1, status);
    sqlite3_bind_int(m_updateStatus.get(), 2, sid);
    run(m_updateStatus);
}

void Store::setSql(int sid, const std::optional<std::string>& sqlText) {
    LiveSession* live = find(sid);
    if (!live) {
        return;
    }
    const std::string previous = live->sqlAddress;
    sqlite3_stmt* s = m_updateSql.get();
    if (sqlText && !sqlText->empty()) {
        live->sqlAddress = useSql(*sqlText, s, 1);
    } else {
        live->sqlAddress.clear();
    }
    sqlite3_bind_int(s, 4, sid);
    run(m_updateSql);
    releaseSql(previous);
}

std::string Store::useSql(const std::string& text, sqlite3_stmt* statement, int column) {
    const SqlIdentity id = identify(text);
    bindText(statement, column, id.address);
    sqlite3_bind_int64(statement, column + 1, id.hash);
    bindText(statement, column + 2, id.sqlId);
    if (m_sqlUsers[id.address]++ > 0) {
        return id.address;
    }
    const std::vector<std::string> parts = pieces(text);
    sqlite3_stmt* s = m_insertPiece.get();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        bindText(s, 1, id.address);
        sqlite3_bind_int64(s, 2, id.hash);
        bindText(s, 3, id.sqlId);
        sqlite3_bind_int(s, 4, id.commandType);
        sqlite3_bind_int(s, 5, static_cast<int>(i));
        bindText(s, 6, parts[i]);
        run(m_insertPiece);
    }
    return id.address;
}

void Store::releaseSql(const std::string& address) {
    const auto it = m_sqlUsers.find(address);
    if (it == m_sqlUsers.end() || --it->second > 0) {
        return;
    }
    m_sqlUsers.erase(it);
    bindText(m_deletePieces.get(), 1, address);
    run(m_deletePieces);
}

}  // namespace sim
