#include "SessionArrangement.h"

#include <QString>
#include <algorithm>

#include "SortKey.h"

namespace {
QString shownValue(const SessionList& list, const SessionRow& row, SessionColumnId id) {
    return QString::fromStdString(DisplayValue(ColumnOf(id), list.Value(row, id)));
}

SortKey keyOf(const SessionList& list, const SessionRow& row, SessionColumnId id) {
    return SortKey(ColumnOf(id).kind, QString::fromStdString(list.Value(row, id)));
}
}  // namespace

SessionList ArrangeSessions(SessionList list, const Arrangement& arrangement) {
    std::erase_if(list.rows, [&](const SessionRow& row) {
        if (arrangement.activeOnly && row.Base(SessionColumnId::Status) != "ACTIVE") {
            return true;
        }
        return !arrangement.filter.Matches(
            [&](SessionColumnId id) { return shownValue(list, row, id); }, arrangement.shown);
    });
    if (!arrangement.sort) {
        return list;
    }
    const SortOrder order = *arrangement.sort;
    struct Keyed {
        SortKey column, user, sid;
        SessionRow row;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(list.rows.size());
    for (SessionRow& row : list.rows) {
        keyed.push_back({keyOf(list, row, order.column),
                         keyOf(list, row, SessionColumnId::Username),
                         keyOf(list, row, SessionColumnId::Sid), std::move(row)});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
        if (const int c = a.column.Compare(b.column); c != 0) {
            return order.descending ? c > 0 : c < 0;
        }
        if (const int c = a.user.Compare(b.user); c != 0) {
            return c < 0;
        }
        return a.sid.Compare(b.sid) < 0;
    });
    list.rows.clear();
    for (Keyed& k : keyed) {
        list.rows.push_back(std::move(k.row));
    }
    return list;
}
