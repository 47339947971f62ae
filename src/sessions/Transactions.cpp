#include "Transactions.h"

#include <algorithm>

#include "DatabaseShape.h"
#include "SessionStatements.h"
#include "TextRows.h"

namespace {
constexpr ub2 kTableOrViewDoesNotExist = 942;
// A session may hold an autonomous transaction beside its own.
constexpr ub4 kRowsPerSession = 2;
constexpr int kNumberWidth = 40 + 1;
}  // namespace

std::string OpenTransactionsStatement(const std::vector<std::string>& sids, bool clustered) {
    std::string sql =
        "SELECT s.sid, s.serial#, TO_CHAR(t.start_date, 'HH24:MI:SS'), t.used_urec, t.used_ublk";
    sql += clustered ? ", s.inst_id FROM sys.gv_$transaction t, sys.gv_$session s WHERE "
                       "t.inst_id = s.inst_id AND t.ses_addr = s.saddr AND s.sid IN ("
                     : " FROM sys.v_$transaction t, sys.v_$session s WHERE t.ses_addr = "
                       "s.saddr AND s.sid IN (";
    for (std::size_t i = 0; i < sids.size(); ++i) {
        sql += (i == 0 ? "" : ", ") + sids[i];
    }
    return sql + ")";
}

std::vector<OpenTransaction> QueryOpenTransactions(const std::vector<SessionKey>& sessions) {
    std::vector<std::string> sids;
    bool clustered = false;
    for (const SessionKey& key : sessions) {
        if (!IsSessionKey(key.sid, key.serial, key.instance)) {
            continue;
        }
        clustered = clustered || !key.instance.empty();
        if (std::find(sids.begin(), sids.end(), key.sid) == sids.end()) {
            sids.push_back(key.sid);
        }
    }
    if (sids.empty()) {
        return {};
    }
    std::vector<int> widths = {FetchWidth::Number, FetchWidth::Number, 8 + 1, kNumberWidth,
                               kNumberWidth};
    if (clustered) {
        widths.push_back(FetchWidth::Number);
    }
    // On a cluster each SID may name a session on every instance.
    const std::size_t instances =
        clustered ? std::max<std::size_t>(1, KnownDatabaseShape().instances.size()) : 1;
    const std::optional<TextRows> rows =
        FetchTextRows(OpenTransactionsStatement(sids, clustered), widths,
                      ub4(sids.size() * kRowsPerSession * instances), kTableOrViewDoesNotExist);
    std::vector<OpenTransaction> open;
    for (const auto& row : rows.value_or(TextRows())) {
        OpenTransaction t{{row[0], row[1], clustered ? row[5] : std::string()},
                          row[2],
                          std::atoll(row[3].c_str()),
                          std::atoll(row[4].c_str())};
        if (std::find(sessions.begin(), sessions.end(), t.session) != sessions.end()) {
            open.push_back(std::move(t));
        }
    }
    return open;
}
