#pragma once
// Every statement Nimbra sends about sessions, and how each is run on a cursor.
// Failures are reported by the database layer; these procedures deliver what their buffers hold.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SessionRecords.h"

// The seven columns, then the chosen ones, as the list reads them; from every instance through
// gv$session on a cluster.
std::string SessionListStatement(bool showSystem,
                                 const std::vector<SessionColumnId>& columns = ListColumns({}),
                                 bool clustered = false);
// With an instance, from that instance of a cluster.
std::string SessionDetailStatement(const std::string& sid, const std::string& serial,
                                   const std::string& instance = {});
std::string SqlTextStatement(const std::string& sid, const std::string& serial,
                             const std::string& instance = {});
// With an instance, on that instance of a cluster.
std::string KillStatement(const std::string& sid, const std::string& serial,
                          const std::string& instance = {});
std::string OwnSessionStatement();

// Non-empty and decimal digits only: what a value must be before it is written into a statement.
bool IsDigits(std::string_view text);
// A session key as the view delivers it: both texts non-empty decimal digits, and the instance
// empty or digits too. Anything else is never written into a statement.
bool IsSessionKey(const std::string& sid, const std::string& serial,
                  const std::string& instance = {});

// All sessions, in the order the database returns them; with showSystem false only those with a
// user name. The seven columns are read, then on a cluster the instance and in the root of a
// container database the container (by name), then the extras that the server has.
SessionList FetchSessionRows(bool showSystem, const std::vector<SessionColumnId>& extras = {});
// Whether the connection's server has the column; a chosen column it answered ORA-00904 for is
// left out until the next log-on.
bool IsColumnAvailable(SessionColumnId id);
// What a user who may not read v$session_longops is told, once per connection.
std::string LongOperationsRefusedText();
// The one message for columns the server lacks.
std::string UnavailableColumnsText(const std::vector<SessionColumnId>& columns);

// What a one-session statement found.
enum class SessionLookup {
    NotSent,   // the key is not a session key: nothing was sent
    NotFound,  // no such session (it has ended), or a failure that has been reported
    Found,
};
SessionLookup QuerySessionDetails(const SessionKey& key, SessionDetails& details);
// Returns false, and sends nothing, when the key is not a session key.
bool QuerySqlText(const SessionKey& key, SessionDetails& details);
// The SID of the connection's own session, asked of the server once per log-on; empty when it
// could not be read (the failure has been reported).
std::string OwnSessionId();
