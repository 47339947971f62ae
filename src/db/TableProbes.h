#pragma once
// Two probes built from the cursor wrappers.

#include <string>

// Number of rows of table that satisfy condition (may be empty); 0 when a step failed.
int CountRows(const std::string& table, const std::string& condition);
// Whether a select on table executes for the connected user; a refusal shows nothing.
bool CanSelectFrom(const std::string& table);
