// The statements sessions run: their identity (address, hash value, SQL_ID) and their text in
// V$SQLTEXT, kept while any session runs them.

#include <algorithm>
#include <cstdio>

#include "StoreBinding.h"

namespace sim {

namespace {

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

}  // namespace

void Store::setSql(int sid, const std::optional<std::string>& sqlText, std::int64_t at) {
    LiveSession* live = find(sid);
    if (!live) {
        return;
    }
    updateSql(sid, *live, sqlText);
    if (live->work == Work::Change) {
        openTransaction(sid, at);
    } else {
        closeTransaction(sid);
    }
}

void Store::cancelCall(int sid, std::int64_t at) {
    LiveSession* live = find(sid);
    if (!live) {
        return;
    }
    updateSql(sid, *live, std::nullopt);
    if (m_waiters.erase(sid) != 0) {
        live->blocker = 0;
        setBlockers(sid, 0, 0);
    }
    setStatus(sid, "INACTIVE", at);
    setWait(sid, idleWait(at, 0));
}

void Store::updateSql(int sid, LiveSession& live, const std::optional<std::string>& sqlText) {
    const std::string previous = live.sqlAddress;
    sqlite3_stmt* s = m_updateSql.get();
    if (sqlText && !sqlText->empty()) {
        live.sqlAddress = useSql(*sqlText, s, 1, live);
    } else {
        live.sqlAddress.clear();
        live.sqlId.clear();
    }
    live.work = workOf(sqlText);
    bind(s, 4, sid);
    run(m_updateSql);
    releaseSql(live.instance, previous);
}

std::string Store::useSql(const std::string& text, sqlite3_stmt* statement, int column,
                          LiveSession& session) {
    const SqlIdentity id = identify(text);
    session.sqlId = id.sqlId;
    bind(statement, column, id.address);
    bind(statement, column + 1, id.hash);
    bind(statement, column + 2, id.sqlId);
    if (m_sqlUsers[{session.instance, id.address}]++ > 0) {
        return id.address;
    }
    const std::vector<std::string> parts = pieces(text);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (m_sqlIds) {
            run(m_insertPiece, session.instance, id.address, id.hash, id.commandType,
                static_cast<int>(i), parts[i], id.sqlId);
        } else {
            run(m_insertPiece, session.instance, id.address, id.hash, id.commandType,
                static_cast<int>(i), parts[i]);
        }
    }
    return id.address;
}

void Store::releaseSql(int instance, const std::string& address) {
    const auto it = m_sqlUsers.find({instance, address});
    if (it == m_sqlUsers.end() || --it->second > 0) {
        return;
    }
    m_sqlUsers.erase(it);
    run(m_deletePieces, instance, address);
}

}  // namespace sim
