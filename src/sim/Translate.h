#pragma once
// Reads one Oracle statement and decides what the instance does with it: a query rewritten for
// the store, a kill, nothing at all, or the error the server answers before running anything.

#include <optional>
#include <string>
#include <string_view>

#include "Sim.h"

namespace sim {

// Which of the two views the logged-on user may select from.
struct ViewRights {
    bool session = false;
    bool sqlText = false;
};

struct KillTarget {
    int sid = 0;
    int serial = 0;
};

struct Statement {
    enum class Kind { Query, Kill, NoOp, Error };
    Kind kind = Kind::Error;
    OraError error;
    // Query: the SQLite text; dialect differences are already bridged.
    std::string sqlite;
    // Query: a count(*) over v_$session.
    bool countsSessions = false;
    // Kill: nullopt when the quoted session id cannot be read.
    std::optional<KillTarget> target;
};

Statement translate(std::string_view sql, ViewRights rights);

}  // namespace sim
