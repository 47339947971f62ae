#pragma once
// Reads one Oracle statement and decides what the instance does with it: a query rewritten for
// the store, an end-session statement, nothing at all, or the error the server answers before
// running anything.

#include <optional>
#include <string>
#include <string_view>

#include "Sim.h"

namespace sim {

// Which of the views the logged-on user may select from.
struct ViewRights {
    bool session = false;
    bool sqlText = false;
    // SELECT_CATALOG_ROLE: the GV$ views, V$TRANSACTION, V$CONTAINERS, V$DATABASE,
    // V$PARAMETER, V$OSSTAT
    bool catalog = false;
};

// The quoted session id of an end-session statement: 'sid, serial#[, @instance][, sql_id]'.
struct KillTarget {
    int sid = 0;
    int serial = 0;
    std::optional<int> instance;
    std::string sqlId;  // CANCEL SQL only; empty: whatever runs
};

// What an end-session statement asks of the server.
enum class EndSession {
    Kill,                 // waits a while for a busy session, then marks it
    KillImmediate,        // ends it at once
    DisconnectAfterWork,  // POST_TRANSACTION: ends it when its transaction ends
    DisconnectNow,        // DISCONNECT ... IMMEDIATE
    CancelSql,            // stops the running call; the session stays
};

struct Statement {
    enum class Kind { Query, Kill, NoOp, Error, Plan };
    Kind kind = Kind::Error;
    OraError error;
    // Query: the SQLite text; dialect differences are already bridged.
    std::string sqlite;
    // Query: a count(*) over v_$session.
    bool countsSessions = false;
    // Kill: which statement, and nullopt when the quoted session id cannot be read.
    EndSession how = EndSession::Kill;
    std::optional<KillTarget> target;
    // Plan: the cursor TABLE(DBMS_XPLAN.DISPLAY_CURSOR(sql_id, child, format)) names.
    std::string planSqlId;
    int planChild = 0;
};

Statement translate(std::string_view sql, ViewRights rights);

// Whether a user with these rights may read the view of schema SYS (any letter case).
bool viewReadable(std::string_view name, const ViewRights& rights);
// Whether the table holds rows that only views show.
bool isBaseTable(std::string_view name);

}  // namespace sim
