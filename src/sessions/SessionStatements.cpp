#include "SessionStatements.h"

#include <algorithm>
#include <array>
#include <optional>

#include "ColumnBuffer.h"
#include "DatabaseShape.h"
#include "ErrorReport.h"
#include "LongOperations.h"
#include "OracleConnection.h"
#include "OracleCursor.h"
#include "TableProbes.h"

namespace {
constexpr ub2 kExactFetchOverflow = 1422;
constexpr ub2 kInvalidIdentifier = 904;
constexpr int kDetailColumns = 7;
// The smallest buffer tried again when the count said there were no sessions at all.
constexpr ub4 kMinimumRetryRows = 64;

struct ListAttempt {
    std::vector<SessionRow> rows;
    bool moreRowsExist = false;
    // The server knows no column of this name (ORA-00904); empty when it knew them all.
    std::optional<std::string> unknownColumn;
    std::vector<bool> truncated;
};

// The name between the quotes of "ORA-00904: "EVENT": invalid identifier"; empty when there is
// none.
std::string invalidIdentifier(const std::string& message) {
    const std::size_t open = message.find('"');
    const std::size_t close = open == std::string::npos ? open : message.find('"', open + 1);
    return close == std::string::npos ? std::string() : message.substr(open + 1, close - open - 1);
}

// One run of the list statement with buffers for capacity rows of the given widths. Only a
// statement that reads more than the seven may meet a server without one of its columns.
ListAttempt fetchListOnce(const std::string& sql, ub4 capacity, const std::vector<int>& widths) {
    std::vector<ColumnBuffer> columns = ColumnBuffers(widths, capacity);
    OracleCursor cursor;
    OpenCursor(cursor);
    ParseStatement(cursor, sql.c_str());
    DefineColumns(cursor, columns);
    ub4 rows = capacity;
    const bool mayLackColumns = widths.size() > std::size_t(kBaseColumnCount);
    ExecuteFetch(cursor, rows, mayLackColumns ? kInvalidIdentifier : 0);
    ListAttempt attempt;
    attempt.moreRowsExist = LastErrorCode(cursor) == kExactFetchOverflow;
    if (mayLackColumns && LastErrorCode(cursor) == kInvalidIdentifier) {
        attempt.unknownColumn = invalidIdentifier(OciErrorText(cursor.area));
        rows = 0;
    }
    // Closed before the rows are made from the buffers, so that what the cursor holds is freed
    // first and a refresh of thousands of sessions needs less memory at once.
    CloseCursor(cursor);
    rows = std::min(rows, capacity);
    for (const ColumnBuffer& column : columns) {
        attempt.truncated.push_back(column.truncated(rows));
    }
    attempt.rows.resize(rows);
    for (ub4 i = 0; i < rows; ++i) {
        std::vector<std::string>& values = attempt.rows[i].values;
        values.reserve(columns.size());
        for (const ColumnBuffer& column : columns) {
            values.push_back(column.text(i));
        }
    }
    return attempt;
}

std::vector<int> fetchWidths(const std::vector<SessionColumnId>& columns) {
    std::vector<int> widths;
    for (SessionColumnId id : columns) {
        widths.push_back(ColumnOf(id).fetchWidth);
    }
    return widths;
}

// The column the server named as unknown, or every chosen one when it named none of them.
std::vector<SessionColumnId> columnsToDrop(const std::vector<SessionColumnId>& columns,
                                           const std::string& name) {
    std::vector<SessionColumnId> dropped;
    for (std::size_t p = std::size_t(kBaseColumnCount); p < columns.size(); ++p) {
        if (IsNamedBy(ColumnOf(columns[p]), name)) {
            return {columns[p]};
        }
        dropped.push_back(columns[p]);
    }
    return dropped;
}

// The columns of a list of this database: the seven, those its shape brings, the chosen ones.
std::vector<SessionColumnId> listColumnsOf(const DatabaseShape& shape,
                                           const std::vector<SessionColumnId>& extras) {
    std::vector<SessionColumnId> wanted;
    if (shape.Clustered()) {
        wanted.push_back(SessionColumnId::Instance);
    }
    if (shape.InRoot()) {
        wanted.push_back(SessionColumnId::Container);
    }
    for (SessionColumnId id : extras) {
        if (!ColumnOf(id).automatic) {
            wanted.push_back(id);
        }
    }
    return ListColumns(wanted);
}

// Each row's instance in its key, each container by its name.
void nameByShape(SessionList& list, const DatabaseShape& shape) {
    const auto instance =
        std::find(list.columns.begin(), list.columns.end(), SessionColumnId::Instance);
    const auto container =
        std::find(list.columns.begin(), list.columns.end(), SessionColumnId::Container);
    for (SessionRow& row : list.rows) {
        if (instance != list.columns.end()) {
            row.instance = row.values[std::size_t(instance - list.columns.begin())];
        }
        if (container != list.columns.end()) {
            std::string& value = row.values[std::size_t(container - list.columns.begin())];
            value = shape.ContainerName(value);
        }
    }
}

// Each row's progress from one statement for all sessions; a user who may not read the view is
// told once, and the column is left out for as long as the connection lasts. The view holds the
// instance logged on to: on a cluster the other instances' sessions show none.
void AddProgress(SessionList& list, const DatabaseShape& shape) {
    const DatabaseOperation read;
    std::optional<std::vector<LongOperation>> operations = QueryLongOperations();
    if (!operations) {
        if (!read.Failed()) {
            TheConnection().unavailableColumns.push_back(int(SessionColumnId::Progress));
            ShowFailureMessage(LongOperationsRefusedText());
        }
        return;
    }
    list.columns.push_back(SessionColumnId::Progress);
    for (SessionRow& row : list.rows) {
        const bool elsewhere = !row.instance.empty() && row.instance != shape.ownInstance;
        const LongOperation* current =
            elsewhere ? nullptr
                      : CurrentOperation(*operations, row.Base(SessionColumnId::Sid),
                                         row.Base(SessionColumnId::Serial));
        row.values.push_back(current ? ProgressText(*current) : std::string());
    }
    list.longOperations = std::move(*operations);
}

void MarkColumnsUnavailable(const std::vector<SessionColumnId>& columns) {
    if (columns.empty()) {
        return;
    }
    for (SessionColumnId id : columns) {
        TheConnection().unavailableColumns.push_back(int(id));
    }
    ShowFailureMessage(UnavailableColumnsText(columns));
}
}  // namespace

bool IsColumnAvailable(SessionColumnId id) {
    const std::vector<int>& lacking = TheConnection().unavailableColumns;
    return std::find(lacking.begin(), lacking.end(), int(id)) == lacking.end();
}

std::string UnavailableColumnsText(const std::vector<SessionColumnId>& columns) {
    std::string names;
    for (SessionColumnId id : columns) {
        names += (names.empty() ? "" : ", ");
        names += ColumnOf(id).heading;
    }
    return "The database has no such column in v$session (ORA-00904): " + names +
           ".\nIt is left out of the list while Nimbra is connected to this database.";
}

std::string LongOperationsRefusedText() {
    return "Nimbra may not read sys.v_$session_longops (ORA-00942): the Progress column and the "
           "long operations need SELECT on V$SESSION_LONGOPS.\nThey are left out while Nimbra is "
           "connected to this database.";
}

std::string SessionListStatement(bool showSystem, const std::vector<SessionColumnId>& columns,
                                 bool clustered) {
    std::string sql = "SELECT ";
    bool first = true;
    for (SessionColumnId id : columns) {
        if (*ColumnOf(id).expression != '\0') {
            sql += (first ? "" : ", ");
            sql += ColumnOf(id).expression;
            first = false;
        }
    }
    sql += clustered ? " FROM sys.gv_$session" : " FROM sys.v_$session";
    if (!showSystem) {
        sql += " WHERE username IS NOT NULL";
    }
    sql += " ORDER BY username";
    return sql;
}

std::string SessionDetailStatement(const std::string& sid, const std::string& serial,
                                   const std::string& instance) {
    const std::string columns =
        "SELECT username, status, osuser, machine, program, TO_CHAR(logon_time, "
        "'DD-MON-YYYY HH24:MI:SS'), schemaname FROM ";
    const std::string key = "SID = '" + sid + "' AND SERIAL# = '" + serial + "'";
    if (instance.empty()) {
        return columns + "sys.v_$session WHERE " + key;
    }
    return columns + "sys.gv_$session WHERE INST_ID = '" + instance + "' AND " + key;
}

std::string SqlTextStatement(const std::string& sid, const std::string& serial,
                             const std::string& instance) {
    const std::string key = "a.SID = '" + sid + "' AND a.SERIAL# = '" + serial + "'";
    if (instance.empty()) {
        return "SELECT sql_text FROM sys.v_$session a, sys.v_$sqltext b WHERE a.sql_address = "
               "b.address AND a.sql_hash_value = b.hash_value AND " +
               key + " ORDER BY PIECE";
    }
    return "SELECT sql_text FROM sys.gv_$session a, sys.gv_$sqltext b WHERE b.inst_id = "
           "a.inst_id AND a.sql_address = b.address AND a.sql_hash_value = b.hash_value AND "
           "a.INST_ID = '" +
           instance + "' AND " + key + " ORDER BY PIECE";
}

std::string KillStatement(const std::string& sid, const std::string& serial,
                          const std::string& instance) {
    const std::string on = instance.empty() ? "" : ", @" + instance;
    return "Alter system kill session '" + sid + ", " + serial + on + "'";
}

std::string OwnSessionStatement() {
    return "SELECT SYS_CONTEXT('USERENV', 'SID') FROM dual";
}

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsSessionKey(const std::string& sid, const std::string& serial, const std::string& instance) {
    return IsDigits(sid) && IsDigits(serial) && (instance.empty() || IsDigits(instance));
}

// Sessions that begin between the count and the list make the exact fetch report more rows;
// the list is then read again with larger buffers so that no session is left out. A value the
// database reports cut (a character set conversion made it longer) is read again in a column
// wide enough for any conversion. A chosen column the server does not have is said once and
// left out for as long as the connection lasts.
SessionList FetchSessionRows(bool showSystem, const std::vector<SessionColumnId>& extras) {
    const DatabaseOperation refresh;
    SessionList list;
    const DatabaseShape& shape = ConnectedDatabaseShape();
    const bool clustered = shape.Clustered();
    list.columns = listColumnsOf(shape, extras);
    std::erase_if(list.columns, [](SessionColumnId id) { return !IsColumnAvailable(id); });
    // Progress comes from a statement of its own, after the list.
    const bool progress = std::erase(list.columns, SessionColumnId::Progress) > 0;
    const int counted =
        refresh.Failed() ? 0 : CountRows(clustered ? "sys.gv_$session" : "sys.v_$session", "");
    // A count that failed has been reported; the list would only fail or wait after it.
    if (refresh.Failed()) {
        return list;
    }
    ub4 capacity = counted > 0 ? static_cast<ub4>(counted) : 0;
    std::vector<int> widths = fetchWidths(list.columns);
    ListAttempt attempt =
        fetchListOnce(SessionListStatement(showSystem, list.columns, clustered), capacity, widths);
    for (;;) {
        if (attempt.unknownColumn) {
            const std::vector<SessionColumnId> dropped =
                columnsToDrop(list.columns, *attempt.unknownColumn);
            MarkColumnsUnavailable(dropped);
            std::erase_if(list.columns, [](SessionColumnId id) { return !IsColumnAvailable(id); });
            widths = fetchWidths(list.columns);
        }
        bool widened = false;
        for (std::size_t p = 0; p < widths.size() && !attempt.unknownColumn; ++p) {
            const int normal = ColumnOf(list.columns[p]).fetchWidth;
            if (attempt.truncated[p] && widths[p] == normal) {
                widths[p] = ConvertedWidth(normal);
                widened = true;
            }
        }
        if (!attempt.moreRowsExist && !widened && !attempt.unknownColumn) {
            list.rows = std::move(attempt.rows);
            nameByShape(list, shape);
            if (progress && !refresh.Failed()) {
                AddProgress(list, shape);
            }
            return list;
        }
        if (attempt.moreRowsExist) {
            capacity = std::max(capacity * 2, kMinimumRetryRows);
        }
        attempt = fetchListOnce(SessionListStatement(showSystem, list.columns, clustered), capacity,
                                widths);
    }
}

SessionLookup QuerySessionDetails(const SessionKey& key, SessionDetails& details) {
    const std::string& sid = key.sid;
    const std::string& serial = key.serial;
    if (!IsSessionKey(sid, serial, key.instance)) {
        return SessionLookup::NotSent;
    }
    // Positions 1 to 7: username, status, osuser, machine, program, logon time, schemaname.
    constexpr std::array<int, kDetailColumns> widths = {
        ConvertedWidth(FetchWidth::Name),    ConvertedWidth(FetchWidth::Status),
        ConvertedWidth(FetchWidth::Name),    ConvertedWidth(FetchWidth::Machine),
        ConvertedWidth(FetchWidth::Program), ConvertedWidth(FetchWidth::LogonTime),
        ConvertedWidth(FetchWidth::Name)};
    std::vector<ColumnBuffer> fields = ColumnBuffers({widths.begin(), widths.end()}, 1);
    OracleCursor cursor;
    OpenCursor(cursor);
    ParseStatement(cursor, SessionDetailStatement(sid, serial, key.instance).c_str());
    DefineColumns(cursor, fields);
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

bool QuerySqlText(const SessionKey& key, SessionDetails& details) {
    if (!IsSessionKey(key.sid, key.serial, key.instance)) {
        return false;
    }
    ColumnBuffer piece(ConvertedWidth(FetchWidth::SqlPiece), 1);
    OracleCursor cursor;
    OpenCursor(cursor);
    ParseStatement(cursor, SqlTextStatement(key.sid, key.serial, key.instance).c_str());
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
