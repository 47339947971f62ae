#include "SessionRecords.h"

#include <algorithm>

namespace {
const std::string kNone;
}

const std::string& SessionRow::Base(SessionColumnId id) const {
    const std::size_t at = std::size_t(id);
    return at < std::size_t(kBaseColumnCount) && at < values.size() ? values[at] : kNone;
}

const std::string& SessionList::Value(const SessionRow& row, SessionColumnId id) const {
    const auto found = std::find(columns.begin(), columns.end(), id);
    const std::size_t at = std::size_t(found - columns.begin());
    return found != columns.end() && at < row.values.size() ? row.values[at] : kNone;
}
