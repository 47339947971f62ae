#pragma once
// What nimbra-sessions does once it holds the log-on data: log on, read the sessions, log off
// and print them. The table or the CSV goes to out, every message to err.

#include <cstdio>

#include "EndSession.h"
#include "SessionArrangement.h"
#include "SessionTable.h"

// nimbra-sessions' exit statuses.
enum ExitStatus {
    kDone = 0,
    // The log-on or reading the sessions failed, or the server refused to end the session;
    // nothing was printed.
    kOracleFailure = 1,
    kUsageError = 2,
    // The sessions were printed, but the log-off failed.
    kLogOffFailure = 3,
};

// One session to end instead of listing them: --kill, --disconnect, --cancel-sql.
struct EndRequest {
    EndSession kind = EndSession::Kill;
    SessionKey session;
};

struct ReportOptions {
    bool allSessions = false;
    bool csv = false;
    // The columns shown, in order; empty for the seven of the list.
    std::vector<SessionColumnId> columns;
    // Which sessions, in what order; its shown columns are taken from columns.
    Arrangement arrangement;
    // Set: that session is ended and nothing is listed.
    std::optional<EndRequest> end;
};

ExitStatus ReportSessions(const LogonArgument& logon, const ReportOptions& options, std::FILE* out,
                          std::FILE* err);
