#pragma once
// The one database connection of the process and the operations that log it on and off.
// Failures are reported where they happen (see ErrorReport.h); nothing is handed upwards.

#include "Oci.h"

struct OracleConnection {
    Lda_Def logonArea{};
    // Stays at one address for the life of the process: the client library keeps state in it.
    HostDataArea hostArea{};
    bool loggedOn = false;
    // Return-length and return-code targets of every scalar define; nothing reads them.
    ub2 scalarLength = 0;
    ub2 scalarCode = 0;
};

// The process-wide connection, all-zero at start.
OracleConnection& TheConnection();

// Logs on with three NUL-terminated texts; on failure shows one message and returns false.
bool LogOn(const char* user, const char* password, const char* host);
// The regular log-off; a failing client library is noted on standard output, never in a box.
void LogOff();
bool IsLoggedOn();
// The log-off that follows every reported failure.
void DropConnection();
