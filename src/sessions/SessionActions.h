#pragma once
// The kill and details actions on the session the list has selected. The view supplies the
// question and shows the sheet; what is read, sent and refreshed is decided here.

#include <functional>
#include <optional>
#include <string>

#include "RefreshCycle.h"
#include "SessionListPort.h"
#include "SessionRecords.h"

// A session as the list names it: the texts of its "Sid" and "Serial" columns.
struct SessionKey {
    std::string sid;
    std::string serial;
};

// The key of the first selected row. None when no row is selected or either text is empty or
// not decimal digits: the command then ends without a statement or a word.
std::optional<SessionKey> SelectedSessionKey(const SessionListPort& port);

// Reads the key, then asks confirmed(); on yes kills the session under the wait cursor and
// refreshes the list. The key read before the question is the one killed, whatever a refresh
// during the question did to the list. Returns whether the kill was sent.
bool KillSelectedSession(SessionListPort& port, RefreshCycle& cycle,
                         const std::function<bool()>& confirmed);

// Overwrites details with the session's details and its SQL text.
void ReadSessionDetails(const SessionKey& key, SessionDetails& details);
