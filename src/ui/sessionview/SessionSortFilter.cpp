#include "sessionview/SessionSortFilter.h"

#include "list/ListModel.h"

CSessionSortFilter::CSessionSortFilter(CListModel& sessions, QObject* parent)
    : QSortFilterProxyModel(parent), m_sessions(sessions) {
    setSourceModel(&sessions);
    setDynamicSortFilter(true);
    // A refresh changes rows all over the list: re-sorting them is what keeps the order.
    setSortRole(CListModel::SortRole);
}

void CSessionSortFilter::SetFilter(const SessionFilter& filter) {
    m_filter = filter;
    invalidateFilter();
}

void CSessionSortFilter::SetHideIdle(bool hide) {
    if (hide != m_bHideIdle) {
        m_bHideIdle = hide;
        invalidateFilter();
    }
}

void CSessionSortFilter::SetShownColumns(std::vector<SessionColumnId> shown) {
    if (shown != m_shown) {
        m_shown = std::move(shown);
        if (!m_filter.IsEmpty()) {
            invalidateFilter();
        }
    }
}

// The proxy turns the whole comparison round for a descending sort; the ties are turned back,
// so that they stay in ascending order.
bool CSessionSortFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const int a = left.row();
    const int b = right.row();
    if (const int order = m_sessions.CompareCells(a, b, left.column()); order != 0) {
        return order < 0;
    }
    const int tieOrder = sortOrder() == Qt::DescendingOrder ? -1 : 1;
    for (SessionColumnId tie : {SessionColumnId::Username, SessionColumnId::Sid}) {
        if (const int order = m_sessions.CompareCells(a, b, int(tie)); order != 0) {
            return order * tieOrder < 0;
        }
    }
    return false;
}

bool CSessionSortFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (m_bHideIdle && m_sessions.GetItemText(sourceRow, int(SessionColumnId::Status)) !=
                           QLatin1String("ACTIVE")) {
        return false;
    }
    return m_filter.IsEmpty() ||
           m_filter.Matches(
               [&](SessionColumnId id) { return m_sessions.DisplayText(sourceRow, int(id)); },
               m_shown);
}
