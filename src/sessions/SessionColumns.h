#pragma once
// The columns of the session list, each defined once: the list statement, the list, printing,
// export and the command-line tool all read this table.

#include <string>
#include <string_view>
#include <vector>

// How a column's values compare and show.
enum class ColumnKind {
    Text,      // compared ignoring letter case, by the locale
    Number,    // compared as numbers
    Date,      // 'YYYY-MM-DD HH24:MI:SS', which sorts in time order as text
    Duration,  // seconds, shown as hours, minutes and seconds
    Progress,  // "47% - 3 min left", compared by its percent and drawn as a bar
};

enum class SessionColumnId : int {
    // The list's seven, always read, in the statement's order.
    Username,
    Sid,
    Serial,
    Status,
    OsUser,
    Machine,
    Program,
    // Read by what the database is, never chosen: a cluster's instances, a container
    // database's containers. Next to the seven, as the list's rows keep their texts in column
    // order and the instance is part of a session's key.
    Instance,
    Container,
    // Read only when the user chooses them.
    SqlId,
    Event,
    WaitClass,
    State,
    SecondsInWait,
    LastCallEt,
    BlockingSession,
    Module,
    Action,
    ClientIdentifier,
    ServiceName,
    LogonTime,
    Type,
    Server,
    Process,
    FinalBlockingSession,
    BlockingInstance,
    // Read from v$session_longops by a statement of its own.
    Progress,
};

struct SessionColumn {
    SessionColumnId id;
    // How the filter, the settings and the command line name it ("sql_id").
    const char* name;
    const char* heading;
    // What the list statement selects for it; empty for a column it does not read.
    const char* expression;
    // The fetch buffer's width in bytes, the terminating NUL included.
    int fetchWidth;
    ColumnKind kind;
    // Part of the key a session is known by (SID and serial#).
    bool key;
    // On screen, in pixels of the dialog font the list was designed with.
    int width;
    // Shown where the database has it (a cluster, a container database), never chosen.
    bool automatic = false;
};

// The seven columns every list statement reads, before any chosen one.
inline constexpr int kBaseColumnCount = 7;

// Every column, the seven first.
const std::vector<SessionColumn>& SessionColumns();
const SessionColumn& ColumnOf(SessionColumnId id);
// Null for a name no column has; letter case does not count.
const SessionColumn* FindColumn(std::string_view name);
// The base seven, then extras in the order given (duplicates and base columns dropped).
std::vector<SessionColumnId> ListColumns(const std::vector<SessionColumnId>& extras);
// The columns shown by what the database is, in the order they follow the serial#.
std::vector<SessionColumnId> AutomaticColumns();
// Whether an identifier the server named ("EVENT", "serial#") is the column's.
bool IsNamedBy(const SessionColumn& column, std::string_view identifier);
// A value as the list shows it: a duration in hours, minutes and seconds, anything else as it
// came.
std::string DisplayValue(const SessionColumn& column, const std::string& value);
// Seconds as "1:02:03", or "2d 03:04:05" from a day on; anything but digits as it is.
std::string FormatDuration(const std::string& seconds);
