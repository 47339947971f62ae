#pragma once
// The options that choose what nimbra-sessions lists, as the window's View menu does:
// --columns a,b,c, --sort col[:desc], --filter text and --active; and the session that
// --kill, --disconnect and --cancel-sql name.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "SessionArrangement.h"
#include "SessionRecords.h"

// The columns named, in that order; none and a message naming what is wrong when a name is no
// column's.
std::optional<std::vector<SessionColumnId>> ParseColumns(const std::string& names,
                                                         std::string& error);
// "status" or "status:desc" ("asc" too); none and a message when it is neither.
std::optional<SortOrder> ParseSort(const std::string& text, std::string& error);
// The names every column answers to, for messages and the help text.
std::string ColumnNames();
// "12,345" as the session's SID and serial#, both decimal digits, "12,345,@2" on instance 2 of a
// cluster; none and a message when it is not that.
std::optional<SessionKey> ParseSessionId(const std::string& text, std::string& error);
