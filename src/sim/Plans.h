#pragma once
// What DBMS_XPLAN.DISPLAY_CURSOR returns, line by line, for the statements the instance's
// sessions run: the cursor's heading and text, the plan hash value, the plan table and the
// predicates, in the package's own layout.

#include <optional>
#include <string>
#include <vector>

namespace sim {

// The lines for cursor child of sqlId; sqlText is the statement while it is in the shared pool,
// nullopt once it has left it. A cursor without a plan (PL/SQL, COMMIT) or one no longer cached
// gets the package's note that it cannot fetch the plan.
std::vector<std::string> displayCursor(const std::string& sqlId, int child,
                                       const std::optional<std::string>& sqlText);

// What the package says instead of a plan when its caller may not read a view it needs
// ("V$SESSION", "V$SQL_PLAN").
std::vector<std::string> missingPrivilege(const std::string& view);

}  // namespace sim
