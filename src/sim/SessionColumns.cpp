#include "SessionColumns.h"

#include <algorithm>

#include "OraText.h"

namespace sim {

namespace {

using Type = ViewColumn::Type;

// The blocking columns say VALID with a holder, NO HOLDER while waiting without one and
// NOT IN WAIT on CPU.
#define SIM_HOLDER_STATUS(column)                                        \
    "CASE WHEN " column                                                  \
    " IS NOT NULL THEN 'VALID' WHEN state = 'WAITING' THEN 'NO HOLDER' " \
    "ELSE 'NOT IN WAIT' END"

const std::vector<ViewColumn> kColumns = {
    {"SADDR", Type::Raw, 8, 7, 0, {}},
    {"SID", Type::Number, 0, 7, 0, {}},
    {"SERIAL#", Type::Number, 0, 7, 0, {}},
    {"PADDR", Type::Raw, 8, 7, 0, {}},
    {"USERNAME", Type::Varchar2, 128, 7, 0, {}},
    {"TADDR", Type::Varchar2, 16, 7, 0, {}},
    {"STATUS", Type::Varchar2, 8, 7, 0, {}},
    {"SERVER", Type::Varchar2, 9, 7, 0, {}},
    {"SCHEMANAME", Type::Varchar2, 128, 7, 0, {}},
    {"OSUSER", Type::Varchar2, 128, 7, 0, {}},
    {"PROCESS", Type::Varchar2, 24, 7, 0, {}},
    {"MACHINE", Type::Varchar2, 64, 7, 0, {}},
    {"PROGRAM", Type::Varchar2, 48, 7, 0, {}},
    {"TYPE", Type::Varchar2, 10, 7, 0, {}},
    {"SQL_ADDRESS", Type::Raw, 8, 7, 0, {}},
    {"SQL_HASH_VALUE", Type::Number, 0, 7, 0, {}},
    {"SQL_ID", Type::Varchar2, 13, 10, 1, {}},
    {"SQL_CHILD_NUMBER", Type::Number, 0, 10, 1, "CASE WHEN sql_id IS NOT NULL THEN 0 END"},
    {"MODULE", Type::Varchar2, 64, 8, 0, {}},
    {"ACTION", Type::Varchar2, 64, 8, 0, {}},
    {"LOGON_TIME", Type::Date, 0, 7, 0, {}},
    {"LAST_CALL_ET", Type::Number, 0, 7, 0, "sim_clock() - status_since"},
    {"CLIENT_IDENTIFIER", Type::Varchar2, 64, 9, 0, {}},
    {"BLOCKING_SESSION_STATUS", Type::Varchar2, 11, 10, 1, SIM_HOLDER_STATUS("blocking_session")},
    {"BLOCKING_INSTANCE", Type::Number, 0, 10, 1, {}},
    {"BLOCKING_SESSION", Type::Number, 0, 10, 1, {}},
    {"FINAL_BLOCKING_SESSION_STATUS", Type::Varchar2, 11, 11, 2,
     SIM_HOLDER_STATUS("final_blocking_session")},
    {"FINAL_BLOCKING_INSTANCE", Type::Number, 0, 11, 2, {}},
    {"FINAL_BLOCKING_SESSION", Type::Number, 0, 11, 2, {}},
    {"EVENT", Type::Varchar2, 64, 10, 1, {}},
    {"WAIT_CLASS", Type::Varchar2, 64, 10, 1, {}},
    {"SECONDS_IN_WAIT", Type::Number, 0, 10, 1, "sim_clock() - wait_since"},
    {"STATE", Type::Varchar2, 19, 10, 1, {}},
    {"WAIT_TIME_MICRO", Type::Number, 0, 11, 1,
     "CASE WHEN state = 'WAITING' THEN (sim_clock() - wait_since) * 1000000 + wait_micros "
     "ELSE wait_micros END"},
    {"SERVICE_NAME", Type::Varchar2, 64, 10, 1, {}},
    {"CON_ID", Type::Number, 0, 12, 1, {}},
};

#undef SIM_HOLDER_STATUS

// The NUMBER columns of V$SQLTEXT and V$SESSION_LONGOPS.
constexpr std::string_view kSqlTextNumbers[] = {"HASH_VALUE",     "PIECE",           "COMMAND_TYPE",
                                                "SOFAR",          "TOTALWORK",       "CONTEXT",
                                                "TIME_REMAINING", "ELAPSED_SECONDS", "QCSID"};

std::string storedName(std::string_view name) {
    const std::string lower = lowerCase(name);
    return lower.find('#') == std::string::npos ? lower : '"' + lower + '"';
}

bool hasColumn(const Release& release, const ViewColumn& column) {
    return release.major > column.sinceMajor ||
           (release.major == column.sinceMajor && release.second >= column.sinceMinor);
}

}  // namespace

const std::vector<ViewColumn>& sessionColumns() {
    return kColumns;
}

bool hasSqlId(const Release& release) {
    return hasColumn(release,
                     *std::find_if(kColumns.begin(), kColumns.end(),
                                   [](const ViewColumn& c) { return c.name == "SQL_ID"; }));
}

// V$SESSION shows the sessions of the client's instance, and inside a pluggable database only
// its own; GV$SESSION those of every instance, each row naming its instance first.
std::string sessionViewDdl(const Release& release) {
    std::string columns;
    for (const ViewColumn& column : kColumns) {
        if (!hasColumn(release, column))
            continue;
        const std::string name = storedName(column.name);
        columns += ", ";
        columns +=
            column.expression.empty() ? name : '(' + std::string(column.expression) + ") " + name;
    }
    const std::string from =
        R"( FROM sys."x$ksuse" WHERE (sim_container() <= 1 OR con_id = sim_container()))";
    return R"(CREATE VIEW sys."v_$session" AS SELECT )" + columns.substr(2) + from +
           " AND inst_id = sim_instance();" + R"(CREATE VIEW sys."gv_$session" AS SELECT inst_id)" +
           columns + from + ";";
}

bool isNumberColumn(std::string_view name) {
    return name == "INST_ID" ||
           std::any_of(
               kColumns.begin(), kColumns.end(),
               [name](const ViewColumn& c) { return c.name == name && c.type == Type::Number; }) ||
           std::find(std::begin(kSqlTextNumbers), std::end(kSqlTextNumbers), name) !=
               std::end(kSqlTextNumbers);
}

}  // namespace sim
