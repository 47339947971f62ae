#pragma once
// nimbra-sessions --activity: the top lists of the local activity history of the database the
// log-on reaches, as a table or CSV.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "ActivityHistory.h"
#include "SessionTable.h"
#include "SessionsReport.h"

struct ActivityReportOptions {
    // How far back from now, in seconds.
    std::int64_t sinceSeconds = 600;
    TopBy by = TopBy::Sql;
    bool csv = false;
};

// "90s", "10m", "2h", "7d", or a number of seconds; none and a message when it is none of them.
std::optional<std::int64_t> ParseSince(const std::string& text, std::string& error);
// "sql", "session" or "event"; none and a message for anything else.
std::optional<TopBy> ParseTopBy(const std::string& text, std::string& error);

// The list's headings and rows as text: counts, average active sessions with two decimals and
// shares as percentages with one.
std::vector<std::vector<std::string>> ActivityTable(TopBy by, const std::vector<TopEntry>& top);

// Logs on to learn which database it is, logs off, and prints from its history up to now.
ExitStatus ReportActivity(const LogonArgument& logon, const ActivityReportOptions& options,
                          std::int64_t now, std::FILE* out, std::FILE* err);
