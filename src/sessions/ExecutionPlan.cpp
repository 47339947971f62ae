#include "ExecutionPlan.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "ColumnBuffer.h"
#include "OracleCursor.h"
#include "SessionRecords.h"
#include "SessionStatements.h"

namespace {
constexpr ub2 kTableOrViewDoesNotExist = 942;
constexpr ub2 kInsufficientPrivileges = 1031;
constexpr int kSqlIdWidth = 13 + 1;
// PLAN_TABLE_OUTPUT is VARCHAR2(300).
constexpr int kPlanLineWidth = ConvertedWidth(300 + 1);
// What DISPLAY_CURSOR prints, in place of the plan, for a view its caller may not read.
constexpr std::string_view kNoPrivilege = "User has no SELECT privilege on ";

bool isSqlId(const std::string& s) {
    return s.size() == 13 && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z');
           });
}

// SQL_ID came with release 10, and DISPLAY_CURSOR with it.
bool hasCursorPlans() {
    const ServerRelease& release = ConnectedServerRelease();
    return !release.Known() || release.major >= 10;
}

// The session's SQL_ID and child number; both empty when it runs nothing.
std::pair<std::string, std::string> readCursor(const std::string& sid, const std::string& serial) {
    ColumnBuffer sqlId(kSqlIdWidth, 1);
    ColumnBuffer child(FetchWidth::Number, 1);
    OracleCursor cursor;
    OpenCursor(cursor);
    ParseStatement(cursor, CursorStatement(sid, serial).c_str());
    DefineColumn(cursor, 1, sqlId.data(), sqlId.width(), kExtString, sqlId.indicators());
    DefineColumn(cursor, 2, child.data(), child.width(), kExtString, child.indicators());
    ub4 rows = 1;
    ExecuteFetch(cursor, rows);
    CloseCursor(cursor);
    return rows == 1 ? std::pair(sqlId.text(0), child.text(0))
                     : std::pair<std::string, std::string>();
}
}  // namespace

std::string CursorStatement(const std::string& sid, const std::string& serial) {
    return "SELECT sql_id, sql_child_number FROM sys.v_$session WHERE SID = '" + sid +
           "' AND SERIAL# = '" + serial + "'";
}

std::string PlanStatement(const std::string& sqlId, const std::string& child) {
    if (!isSqlId(sqlId) || !IsDigits(child) || child.size() > 9) {
        return {};
    }
    return "SELECT plan_table_output FROM TABLE(DBMS_XPLAN.DISPLAY_CURSOR('" + sqlId + "', " +
           child + ", 'TYPICAL'))";
}

std::string PlanRefusedText() {
    return "No plan: reading it needs SELECT on V$SQL_PLAN, V$SQL_PLAN_STATISTICS_ALL, V$SQL "
           "and V$SESSION (all in SELECT_CATALOG_ROLE).";
}

PlanText ReadExecutionPlan(const std::string& sid, const std::string& serial) {
    PlanText plan;
    if (!IsSessionKey(sid, serial) || !hasCursorPlans()) {
        return plan;
    }
    const DatabaseOperation read;
    const auto [sqlId, child] = readCursor(sid, serial);
    const std::string statement = PlanStatement(sqlId, child);
    if (read.Failed() || statement.empty()) {
        return plan;
    }
    ColumnBuffer line(kPlanLineWidth, 1);
    OracleCursor cursor;
    OpenCursor(cursor);
    ParseStatement(cursor, statement.c_str());
    DefineColumn(cursor, 1, line.data(), line.width(), kExtString, line.indicators());
    if (!ExecuteCursor(cursor, false)) {
        const ub2 code = LastErrorCode(cursor);
        plan.refused = code == kTableOrViewDoesNotExist || code == kInsufficientPrivileges;
        CloseCursor(cursor);
        return plan;
    }
    while (FetchRow(cursor)) {
        plan.lines.push_back(line.text(0));
    }
    CloseCursor(cursor);
    if (read.Failed()) {
        plan.lines.clear();
    }
    if (std::any_of(plan.lines.begin(), plan.lines.end(),
                    [](const std::string& l) { return l.rfind(kNoPrivilege, 0) == 0; })) {
        plan = {{}, true};
    }
    return plan;
}
