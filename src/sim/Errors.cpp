#include <algorithm>
#include <cstdio>
#include <iterator>

#include "Sim.h"

namespace sim {

namespace {

struct Message {
    int code;
    const char* text;
};

// Sorted by code.
constexpr Message kMessages[] = {
    {26, "missing or invalid session ID"},
    {27, "cannot kill current session"},
    {28, "your session has been killed"},
    {29, "session is not a user session"},
    {30, "User session ID does not exist."},
    {31, "session marked for kill"},
    {900, "invalid SQL statement"},
    {904, "invalid identifier"},
    {907, "missing right parenthesis"},
    {909, "invalid number of arguments"},
    {911, "invalid character"},
    {918, "column ambiguously defined"},
    {921, "unexpected end of SQL command"},
    {923, "FROM keyword not found where expected"},
    {933, "SQL command not properly ended"},
    {936, "missing expression"},
    {940, "invalid ALTER command"},
    {942, "table or view does not exist"},
    {1001, "invalid cursor"},
    {1005, "null password given; logon denied"},
    {1007, "variable not in select list"},
    {1008, "not all variables bound"},
    {1012, "not logged on"},
    {1017, "invalid username/password; logon denied"},
    {1031, "insufficient privileges"},
    {1403, "no data found"},
    {1405, "fetched column value is NULL"},
    {1406, "fetched column value was truncated"},
    {1422, "exact fetch returns more than requested number of rows"},
    {1481, "invalid number format model"},
    {1722, "invalid number"},
    {1740, "missing double quote in identifier"},
    {1756, "quoted string not properly terminated"},
    {1821, "date format not recognized"},
    {2003, "invalid USERENV parameter"},
    {2030, "can only select from fixed tables/views"},
    {2065, "illegal option for ALTER SYSTEM"},
    {3113, "end-of-file on communication channel"},
    {3114, "not connected to ORACLE"},
    {3121, "no interface driver connected - function not performed"},
    {3135, "connection lost contact"},
    {3136, "inbound connection timed out"},
    {3156, "OCI call timed out"},
    {12154, "TNS:could not resolve the connect identifier specified"},
    {12541, "TNS:no listener"},
    {28000, "the account is locked"},
    {28002, "the password will expire within 7 days"},
    {28009, "connection as SYS should be as SYSDBA or SYSOPER"},
};

std::string formatted(const char* format, int a, int b = 0) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, a, b);
    return buffer;
}

}  // namespace

std::string standardMessage(int code) {
    const auto* it = std::lower_bound(std::begin(kMessages), std::end(kMessages), code,
                                      [](const Message& m, int c) { return m.code < c; });
    if (it == std::end(kMessages) || it->code != code) {
        return formatted("ORA-%05d: Message %d not found; product=RDBMS; facility=ORA", code, code);
    }
    return formatted("ORA-%05d: ", code) + it->text;
}

OraError oraError(int code) {
    return {code, standardMessage(code)};
}

bool isConnectionLost(int code) {
    constexpr int kLost[] = {28,   1012, 1089,  1092,  3113,  3114, 3135,
                             3136, 3156, 12537, 12547, 12570, 12583};
    return std::find(std::begin(kLost), std::end(kLost), code) != std::end(kLost);
}

}  // namespace sim
