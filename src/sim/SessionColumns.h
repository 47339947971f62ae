#pragma once
// The columns of sys.v_$session as Oracle 19c defines them and the release each arrived in.
// The view is built over the stored rows (sys.x$ksuse, as on a real server) for one release,
// so a column that release lacks is an invalid identifier there.

#include <string>
#include <string_view>
#include <vector>

#include "Sim.h"

namespace sim {

struct ViewColumn {
    enum class Type { Number, Varchar2, Raw, Date };
    std::string_view name;  // upper case
    Type type;
    int width;       // bytes of a VARCHAR2 or RAW
    int sinceMajor;  // the first release with the column
    int sinceMinor;
    // The value over the stored row; empty: the stored column of the same name. sim_clock()
    // is the instance's time in seconds since 1970.
    std::string_view expression;
};

// In Oracle's order, so that SELECT * lists them as the server does.
const std::vector<ViewColumn>& sessionColumns();

// Whether the release's V$SESSION and V$SQLTEXT carry SQL_ID.
bool hasSqlId(const Release& release);

// CREATE VIEW sys."v_$session" for the release.
std::string sessionViewDdl(const Release& release);

// Whether an upper-case name is a NUMBER column of one of the views.
bool isNumberColumn(std::string_view name);

}  // namespace sim
