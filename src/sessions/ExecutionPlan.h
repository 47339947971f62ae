#pragma once
// The execution plan of the statement a session runs, as DBMS_XPLAN.DISPLAY_CURSOR prints it.

#include <string>
#include <vector>

// Which cursor a session runs: its SQL_ID and SQL_CHILD_NUMBER.
std::string CursorStatement(const std::string& sid, const std::string& serial);
// Only a checked SQL_ID (13 characters of 0-9 and a-z) and child number (digits) are ever written
// into it; empty for anything else.
std::string PlanStatement(const std::string& sqlId, const std::string& child);

struct PlanText {
    // The package's lines as they came, a cursor that left the shared pool included; empty when
    // the session runs no statement or the server has no plans to show (before release 10).
    std::vector<std::string> lines;
    // The user may not read what the plan is made from; lines is then empty.
    bool refused = false;
};

// Sends nothing for a key that is not a session key. A failure is reported by the database
// layer and leaves the text empty.
PlanText ReadExecutionPlan(const std::string& sid, const std::string& serial);

// The line shown instead of the plan to a user without the rights it needs.
std::string PlanRefusedText();
