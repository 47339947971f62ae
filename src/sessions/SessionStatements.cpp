#include "SessionStatements.h"

#include <algorithm>
#include <array>

#include "ColumnBuffer.h"
#include "ErrorReport.h"
#include "OracleConnection.h"
#include "OracleCursor.h"
#include "TableProbes.h"

namespace {
constexpr ub2 kExactFetchOverflow = 1422;
constexpr int kListColumns = 7;
using ListWidths = std::array<int, kListColumns>;
constexpr ListWidths kListWidths = {FetchWidth::Name,   FetchWidth::Number, FetchWidth::Number,
                                    FetchWidth::Status, FetchWidth::Name,   FetchWidth::Machine,
                                    FetchWidth::Program};
// The smallest buffer tried again when the count said there were no sessions at all.
constexpr ub4 kMinimumRetryRows = 64;

bool isDigits(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

struct ListAttempt {
    std::vector<SessionRow> rows;
    bool moreRowsExist = false;
    std::array<bool, kListColumns> truncated{};
};

// One run of the list statement with buffers for capacity rows of the given widths.
ListAttempt fetchListOnce(const std::string& sql, ub4 capacity, const ListWidths& widths) {
    std::vector<ColumnBuffer> columns;
    columns.reserve(kListColumns);
    for (int width : widths) {
        columns.emplace_back(width, capacity);
    }
    OracleCursor cursor;
    OpenCursor(cursor);
    ParseStatement(cursor, sql.c_str());
    for (int p = 0; p < kListColumns; ++p) {
        DefineColumn(cursor, p + 1, columns[p].data(), columns[p].width(), kExtString,
                     columns[p].indicators());
    }
    ub4 rows = capacity;
    ExecuteFetch(cursor, rows);
    ListAttempt attempt;
    attempt.moreRowsExist = LastErrorCode(cursor) == kExactFetchOverflow;
    // Closed before the rows are made from the buffers, so that what the cursor holds is freed
    // first and a refresh of thousands of sessions needs less memory at once.
    CloseCursor(cursor);
    rows = std::min(rows, capacity);
    for (int p = 0; p < kListColumns; ++p) {
        attempt.truncated[p] = columns[p].truncated(rows);
    }
    attempt.rows.reserve(rows);
    for (ub4 i = 0; i < rows; ++i) {
        attempt.rows.push_back({columns[0].text(i), columns[1].text(i), columns[2].text(i),
                                columns[3].text(i), columns[4].text(i), columns[5].text(i),
                                columns[6].text(i)});
    }
    return attempt;
}
}  // namespace

std::string SessionListStatement(bool showSystem) {
    std::string sql =
        "SELECT username, sid, serial#, status, osuser, machine, program FROM sys.v_$session";
    if (!showSystem) {
        sql += " WHERE username IS NOT NULL";
    }
    sql += " ORDER BY username";
    return sql;
}

std::string SessionDetailStatement(const std::string& sid, const std::string& serial) {
    return "SELECT username, status, osuser, machine, program, TO_CHAR(logon_time, "
           "'DD-MON-YYYY HH24:MI:SS'), schemaname FROM sys.v_$session WHERE SID = '" +
           sid + "' AND SERIAL# = '" + serial + "'";
}

std::string SqlTextStatement(const std::string& sid, const std::string& serial) {
    return "SELECT sql_text FROM sys.v_$session a, sys.v_$sqltext b WHERE a.sql_address = "
           "b.address AND a.sql_hash_value = b.hash_value AND a.SID = '" +
           sid + "' AND a.SERIAL# = '" + serial + "' ORDER BY PIECE";
}

std::string KillStatement(const std::string& sid, const std::string& serial) {
    return "Alter system kill session '" + sid + ", " + serial + "'";
}

std::string OwnSessionStatement() {
    return "SELECT SYS_CONTEXT('USERENV', 'SID') FROM dual";
}

bool IsSessionKey(const std::string& sid, const std::string& serial) {
    return isDigits(sid) && isDigits(serial);
}

// Sessions that begin between the count and the list make the exact fetch report more rows;
// the list is then read again with larger buffers so that no session is left out. A value the
// database reports cut (a character set conversion made it longer) is read again in a column
// wide enough for any conversion.
std::vector<SessionRow> FetchSessionRows(bool showSystem) {
    const DatabaseOperation refresh;
    const int counted = CountRows("sys.v_$session", "");
    // A count that failed has been reported; the list would only fail or wait after it.
    if (refresh.Failed()) {
        return {};
    }
    ub4 capacity = counted > 0 ? static_cast<ub4>(counted) : 0;
    ListWidths widths = kListWidths;
    const std::string sql = SessionListStatement(showSystem);
    ListAttempt attempt = fetchListOnce(sql, capacity, widths);
    for (;;) {
        bool widened = false;
        for (int p = 0; p < kListColumns; ++p) {
            if (attempt.truncated[p] && widths[p] == kListWidths[p]) {
                widths[p] = ConvertedWidth(kListWidths[p]);
                widened = true;
            }
        }
        if (!attempt.moreRowsExist && !widened) {
            return std::move(attempt.rows);
        }
        if (attempt.moreRowsExist) {
            capacity = std::max(capacity * 2, kMinimumRetryRows);
        }
        attempt = fetchListOnce(sql, capacity, widths);
    }
}

SessionLookup QuerySessionDetails(const std::string& sid, const std::string& serial,
                                  SessionDetails& details) {
    if (!IsSessionKey(sid, serial)) {
        return SessionLookup::NotSent;
    }
    // Positions 1 to 7: username, status, osuser, machine, program, logon time, schemaname.
    constexpr std::array<int, kListColumns> widths = {
        ConvertedWidth(FetchWidth::Name),    ConvertedWidth(FetchWidth::Status),
        ConvertedWidth(FetchWidth::Name),    ConvertedWidth(FetchWidth::Machine),
        ConvertedWidth(FetchWidth::Program), ConvertedWidth(FetchWidth::LogonTime),
        ConvertedWidth(FetchWidth::Name)};
    std::vector<ColumnBuffer> fields;
    fields.reserve(widths.size());
    for (int width : widths) {
        fields.emplace_back(width, 1);
    }
    OracleCursor cursor;
    OpenCursor(cursor);
    ParseStatement(cursor, SessionDetailStatement(sid, serial).c_str());
    for (int p = 0; p < kListColumns; ++p) {
        DefineColumn(cursor, p + 1, fields[p].data(), fields[p].width(), kExtString,
                     fields[p].indicators());
    }
    ub4 rows = 1;
    ExecuteFetch(cursor, rows);
    CloseCursor(cursor);

    // No row (the session has ended) leaves every fetched field empty.
    const auto field = [&](int position) {
        return rows >= 1 ? fields[position - 1].text(0) : std::string();
    };
    details.sid = sid;
    details.serial = serial;
    details.username = field(1);
    details.status = field(2);
    details.osUser = field(3);
    details.machine = field(4);
    details.program = field(5);
    details.logonTime = field(6);
    details.schemaName = field(7);
    return rows >= 1 ? SessionLookup::Found : SessionLookup::NotFound;
}

bool QuerySqlText(const std::string& sid, const std::string& serial, SessionDetails& details) {
    if (!IsSessionKey(sid, serial)) {
        return false;
    }
    ColumnBuffer piece(ConvertedWidth(FetchWidth::SqlPiece), 1);
    OracleCursor cursor;
    OpenCursor(cursor);
    ParseStatement(cursor, SqlTextStatement(sid, serial).c_str());
    DefineColumn(cursor, 1, piece.data(), piece.width(), kExtString, piece.indicators());
    ExecuteCursor(cursor, true);
    details.sqlText.clear();
    // The pieces joined as stored, nothing between them: the statement exactly as it runs.
    while (FetchRow(cursor)) {
        details.sqlText += piece.text(0);
    }
    CloseCursor(cursor);
    return true;
}

std::string OwnSessionId() {
    OracleConnection& c = TheConnection();
    if (!c.ownSid.empty() || !c.loggedOn) {
        return c.ownSid;
    }
    ColumnBuffer sid(ConvertedWidth(FetchWidth::Number), 1);
    OracleCursor cursor;
    OpenCursor(cursor);
    ParseStatement(cursor, OwnSessionStatement().c_str());
    DefineColumn(cursor, 1, sid.data(), sid.width(), kExtString, sid.indicators());
    ub4 rows = 1;
    ExecuteFetch(cursor, rows);
    CloseCursor(cursor);
    if (rows == 1 && c.loggedOn) {
        c.ownSid = sid.text(0);
    }
    return c.ownSid;
}

std::optional<KillAnswer> KillSession(const std::string& sid, const std::string& serial) {
    if (!IsSessionKey(sid, serial)) {
        return std::nullopt;
    }
    OracleCursor cursor;
    OpenCursor(cursor);
    ParseStatement(cursor, KillStatement(sid, serial).c_str());
    KillAnswer answer;
    const LongCallTimeLimit serverMayWait;
    if (!ExecuteCursor(cursor, false)) {
        answer.code = LastErrorCode(cursor);
        answer.message = OciErrorText(cursor.area);
    }
    CloseCursor(cursor);
    return answer;
}
