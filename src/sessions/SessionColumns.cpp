#include "SessionColumns.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "SessionRecords.h"

namespace {
using Id = SessionColumnId;
using Kind = ColumnKind;
// A NUMBER as text: at most 40 digits, sign and point.
constexpr int kNumberText = 40 + 1;
// VARCHAR2(64) columns of V$SESSION in 19c.
constexpr int kName64 = 64 + 1;
}  // namespace

const std::vector<SessionColumn>& SessionColumns() {
    static const std::vector<SessionColumn> columns = {
        {Id::Username, "username", "Username", "username", FetchWidth::Name, Kind::Text, false,
         100},
        {Id::Sid, "sid", "Sid", "sid", FetchWidth::Number, Kind::Number, true, 50},
        {Id::Serial, "serial", "Serial", "serial#", FetchWidth::Number, Kind::Number, true, 50},
        {Id::Status, "status", "Status", "status", FetchWidth::Status, Kind::Text, false, 80},
        {Id::OsUser, "osuser", "OS User", "osuser", FetchWidth::Name, Kind::Text, false, 100},
        {Id::Machine, "machine", "Machine", "machine", FetchWidth::Machine, Kind::Text, false, 200},
        {Id::Program, "program", "Program", "program", FetchWidth::Program, Kind::Text, false, 300},
        {Id::Instance, "instance", "Instance", "inst_id", FetchWidth::Number, Kind::Number, true,
         60, true},
        // Read as the number; the list shows the container's name in its place.
        {Id::Container, "container", "Container", "con_id", FetchWidth::Number, Kind::Text, false,
         100, true},
        {Id::SqlId, "sql_id", "SQL ID", "sql_id", 13 + 1, Kind::Text, false, 90},
        {Id::Event, "event", "Event", "event", kName64, Kind::Text, false, 200},
        {Id::WaitClass, "wait_class", "Wait Class", "wait_class", kName64, Kind::Text, false, 90},
        {Id::State, "state", "State", "state", 19 + 1, Kind::Text, false, 120},
        {Id::SecondsInWait, "seconds_in_wait", "Seconds in Wait", "seconds_in_wait", kNumberText,
         Kind::Number, false, 100},
        {Id::LastCallEt, "last_call_et", "Active/Idle for", "last_call_et", kNumberText,
         Kind::Duration, false, 90},
        {Id::BlockingSession, "blocking_session", "Blocking Session", "blocking_session",
         FetchWidth::Number, Kind::Number, false, 100},
        {Id::Module, "module", "Module", "module", kName64, Kind::Text, false, 150},
        {Id::Action, "action", "Action", "action", kName64, Kind::Text, false, 120},
        {Id::ClientIdentifier, "client_identifier", "Client Identifier", "client_identifier",
         kName64, Kind::Text, false, 120},
        {Id::ServiceName, "service_name", "Service", "service_name", kName64, Kind::Text, false,
         120},
        {Id::LogonTime, "logon_time", "Logon Time", "TO_CHAR(logon_time, 'YYYY-MM-DD HH24:MI:SS')",
         FetchWidth::LogonTime, Kind::Date, false, 130},
        {Id::Type, "type", "Type", "type", 10 + 1, Kind::Text, false, 80},
        {Id::Server, "server", "Server", "server", 9 + 1, Kind::Text, false, 70},
        {Id::Process, "process", "Process", "process", 24 + 1, Kind::Text, false, 70},
        {Id::FinalBlockingSession, "final_blocking_session", "Final Blocker",
         "final_blocking_session", FetchWidth::Number, Kind::Number, false, 90},
        {Id::BlockingInstance, "blocking_instance", "Blocking Instance", "blocking_instance",
         FetchWidth::Number, Kind::Number, false, 100},
        {Id::Progress, "progress", "Progress", "", 0, Kind::Progress, false, 150},
    };
    return columns;
}

const SessionColumn& ColumnOf(SessionColumnId id) {
    return SessionColumns()[std::size_t(id)];
}

namespace {
bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}
}  // namespace

const SessionColumn* FindColumn(std::string_view name) {
    const auto& columns = SessionColumns();
    const auto found = std::find_if(columns.begin(), columns.end(), [name](const SessionColumn& c) {
        return sameIgnoringCase(c.name, name);
    });
    return found == columns.end() ? nullptr : &*found;
}

std::vector<SessionColumnId> AutomaticColumns() {
    return {Id::Instance, Id::Container};
}

bool IsNamedBy(const SessionColumn& column, std::string_view identifier) {
    return sameIgnoringCase(column.name, identifier) ||
           (*column.expression != '\0' && sameIgnoringCase(column.expression, identifier));
}

std::vector<SessionColumnId> ListColumns(const std::vector<SessionColumnId>& extras) {
    std::vector<SessionColumnId> columns;
    for (int i = 0; i < kBaseColumnCount; ++i) {
        columns.push_back(SessionColumnId(i));
    }
    for (SessionColumnId id : extras) {
        if (std::find(columns.begin(), columns.end(), id) == columns.end()) {
            columns.push_back(id);
        }
    }
    return columns;
}

std::string DisplayValue(const SessionColumn& column, const std::string& value) {
    return column.kind == ColumnKind::Duration ? FormatDuration(value) : value;
}

std::string FormatDuration(const std::string& value) {
    if (value.empty() || value.size() > 12 ||
        !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return value;
    }
    long long seconds = std::stoll(value);
    const long long days = seconds / 86400;
    seconds %= 86400;
    char text[48];
    if (days > 0) {
        std::snprintf(text, sizeof text, "%lldd %02lld:%02lld:%02lld", days, seconds / 3600,
                      seconds / 60 % 60, seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    }
    return text;
}
