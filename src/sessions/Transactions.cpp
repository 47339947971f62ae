#include "Transactions.h"

#include <algorithm>

#include "ColumnBuffer.h"
#include "OracleCursor.h"
#include "SessionRecords.h"
#include "SessionStatements.h"

namespace {
constexpr ub2 kTableOrViewDoesNotExist = 942;
// A session may hold an autonomous transaction beside its own.
constexpr ub4 kRowsPerSession = 2;
constexpr int kNumberWidth = 40 + 1;
}  // namespace

std::string OpenTransactionsStatement(const std::vector<std::string>& sids) {
    std::string sql =
        "SELECT s.sid, s.serial#, TO_CHAR(t.start_date, 'HH24:MI:SS'), t.used_urec, "
        "t.used_ublk FROM sys.v_$transaction t, sys.v_$session s WHERE t.ses_addr = s.saddr "
        "AND s.sid IN (";
    for (std::size_t i = 0; i < sids.size(); ++i) {
        sql += (i == 0 ? "" : ", ") + sids[i];
    }
    return sql + ")";
}

std::vector<OpenTransaction> QueryOpenTransactions(
    const std::vector<std::pair<std::string, std::string>>& sessions) {
    std::vector<std::string> sids;
    for (const auto& [sid, serial] : sessions) {
        if (IsSessionKey(sid, serial) && std::find(sids.begin(), sids.end(), sid) == sids.end()) {
            sids.push_back(sid);
        }
    }
    if (sids.empty()) {
        return {};
    }
    const ub4 capacity = ub4(sids.size()) * kRowsPerSession;
    std::vector<ColumnBuffer> columns;
    for (int width : {FetchWidth::Number, FetchWidth::Number, 8 + 1, kNumberWidth, kNumberWidth}) {
        columns.emplace_back(width, capacity);
    }
    OracleCursor cursor;
    OpenCursor(cursor);
    ParseStatement(cursor, OpenTransactionsStatement(sids).c_str());
    for (std::size_t p = 0; p < columns.size(); ++p) {
        DefineColumn(cursor, int(p + 1), columns[p].data(), columns[p].width(), kExtString,
                     columns[p].indicators());
    }
    ub4 rows = capacity;
    ExecuteFetch(cursor, rows, kTableOrViewDoesNotExist);
    const bool readable = LastErrorCode(cursor) != kTableOrViewDoesNotExist;
    CloseCursor(cursor);
    std::vector<OpenTransaction> open;
    for (ub4 i = 0; readable && i < std::min(rows, capacity); ++i) {
        OpenTransaction t{columns[0].text(i), columns[1].text(i), columns[2].text(i),
                          std::atoll(columns[3].text(i).c_str()),
                          std::atoll(columns[4].text(i).c_str())};
        const bool listed = std::any_of(sessions.begin(), sessions.end(), [&](const auto& s) {
            return s.first == t.sid && s.second == t.serial;
        });
        if (listed) {
            open.push_back(std::move(t));
        }
    }
    return open;
}
