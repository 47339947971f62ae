#include "ActivityReport.h"

#include <unistd.h>

#include <charconv>
#include <cstdio>

#include "DatabaseIdentity.h"
#include "DisplayWidth.h"
#include "ErrorReport.h"
#include "OracleConnection.h"
#include "TextTable.h"

namespace {
// The lines a top list holds.
constexpr int kTopLines = 10;

std::string Fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}
}  // namespace

std::optional<std::int64_t> ParseSince(const std::string& text, std::string& error) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, failure] = std::from_chars(text.data(), end, value);
    const std::string unit(rest, end);
    const std::int64_t scale = unit.empty() || unit == "s" ? 1
                               : unit == "m"               ? 60
                               : unit == "h"               ? 3600
                               : unit == "d"               ? 86400
                                                           : 0;
    if (failure != std::errc() || value <= 0 || scale == 0 || value > 3650 * 86400 / scale) {
        error = "--since takes a time such as 90s, 10m, 2h or 7d, not \"" + text + "\".";
        return std::nullopt;
    }
    return value * scale;
}

std::optional<TopBy> ParseTopBy(const std::string& text, std::string& error) {
    if (text == "sql") {
        return TopBy::Sql;
    }
    if (text == "session") {
        return TopBy::Session;
    }
    if (text == "event") {
        return TopBy::Event;
    }
    error = "--by takes sql, session or event, not \"" + text + "\".";
    return std::nullopt;
}

std::vector<std::vector<std::string>> ActivityTable(TopBy by, const std::vector<TopEntry>& top) {
    std::vector<std::vector<std::string>> table;
    switch (by) {
        case TopBy::Sql:
            table.push_back({"SQL_ID"});
            break;
        case TopBy::Session:
            table.push_back({"SID,Serial#", "User", "Program"});
            break;
        case TopBy::Event:
            table.push_back({"Event", "Wait class"});
            break;
    }
    table.front().insert(table.front().end(), {"Samples", "Avg active", "Share"});
    for (const TopEntry& entry : top) {
        std::vector<std::string> row = {entry.key};
        if (by == TopBy::Session) {
            row.insert(row.end(), {entry.user, entry.program});
        } else if (by == TopBy::Event) {
            row.push_back(entry.waitClass);
        }
        row.insert(row.end(), {std::to_string(entry.count), Fixed(entry.averageActive, 2),
                               Fixed(100 * entry.share, 1) + "%"});
        table.push_back(std::move(row));
    }
    return table;
}

ExitStatus ReportActivity(const LogonArgument& logon, const ActivityReportOptions& options,
                          std::int64_t now, std::FILE* out, std::FILE* err) {
    bool failed = false;
    SetMessageSink([&failed, err](const std::string& message) {
        failed = true;
        std::fprintf(err, "%s\n", message.c_str());
    });
    std::optional<DatabaseIdentity> identity;
    if (LogOn(logon.user.c_str(), logon.password.c_str(), logon.host.c_str(), logon.mode)) {
        if (const std::string warning = TakeLogonWarning(); !warning.empty()) {
            std::fprintf(err, "nimbra-sessions: %s\n", warning.c_str());
        }
        identity = ReadDatabaseIdentity();
    }
    const bool loggedOff = !IsLoggedOn() || LogOff(err);
    SetMessageSink(nullptr);
    if (failed || !identity) {
        return kOracleFailure;
    }
    const ActivityHistory::Opening opening = ActivityHistory::Open(
        HistoryFolder() + "/" + HistoryFileName(*identity), HistoryAccess::Read);
    if (!opening.history) {
        std::fprintf(err, "nimbra-sessions: %s\n", qPrintable(opening.message));
        return kOracleFailure;
    }
    const std::vector<TopEntry> top =
        opening.history->Top(options.by, {now - options.sinceSeconds, now + 1}, kTopLines);
    std::vector<std::vector<std::string>> table = ActivityTable(options.by, top);
    // What clients named themselves reaches a terminal as text only, as in the session list.
    if (!options.csv || ::isatty(::fileno(out)) != 0) {
        for (std::vector<std::string>& row : table) {
            for (std::string& cell : row) {
                cell = ForTerminal(cell);
            }
        }
    }
    std::string text;
    if (options.csv) {
        for (const std::vector<std::string>& row : table) {
            text += CsvLine(row);
        }
    } else {
        text = FormatAlignedCells(table);
    }
    std::fwrite(text.data(), 1, text.size(), out);
    std::fflush(out);
    return loggedOff ? kDone : kLogOffFailure;
}
