#pragma once
// The sessions as the window shows them, for the command-line tool: those that pass the filter,
// in the sorted order. The window does the same through its model and proxy, with the same
// filter and the same sort keys, so that a script and the window agree.

#include <optional>
#include <vector>

#include "SessionFilter.h"
#include "SessionRecords.h"

struct SortOrder {
    SessionColumnId column;
    bool descending = false;
};

struct Arrangement {
    // The columns a plain filter term looks in.
    std::vector<SessionColumnId> shown;
    SessionFilter filter;
    // Only ACTIVE sessions.
    bool activeOnly = false;
    // None: the statement's order.
    std::optional<SortOrder> sort;
};

// The list's rows that pass, sorted by the column (ties by user name and then SID, always
// ascending); the list's columns stay as they are.
SessionList ArrangeSessions(SessionList list, const Arrangement& arrangement);
