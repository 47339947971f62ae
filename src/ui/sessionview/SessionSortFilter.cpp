#include "sessionview/SessionSortFilter.h"

#include <algorithm>
#include <numeric>

#include "DatabaseShape.h"
#include "list/ListModel.h"
#include "widgets/Marks.h"

CSessionSortFilter::CSessionSortFilter(CListModel& sessions, QObject* parent)
    : QSortFilterProxyModel(parent), m_sessions(sessions), m_blockerMark(BlockerMark()) {
    // Connected before the proxy's own handlers, so that a change is never sorted by old ranks.
    const auto forget = [this] { m_rank.clear(); };
    connect(&sessions, &QAbstractItemModel::dataChanged, this, forget);
    connect(&sessions, &QAbstractItemModel::rowsInserted, this, forget);
    connect(&sessions, &QAbstractItemModel::rowsRemoved, this, forget);
    connect(&sessions, &QAbstractItemModel::rowsMoved, this, forget);
    connect(&sessions, &QAbstractItemModel::modelReset, this, forget);
    connect(&sessions, &QAbstractItemModel::layoutChanged, this, forget);
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

void CSessionSortFilter::sort(int column, Qt::SortOrder order) {
    m_rank.clear();
    if (column >= 0 && column < m_sessions.columnCount()) {
        const std::size_t count = std::size_t(m_sessions.GetItemCount());
        // Each key looked up once, not once for every comparison it takes part in.
        struct Keys {
            const SortKey* column;
            const SortKey* user;
            const SortKey* sid;
        };
        std::vector<Keys> keys(count);
        for (std::size_t row = 0; row < count; ++row) {
            keys[row] = {&m_sessions.SortKeyAt(int(row), column),
                         &m_sessions.SortKeyAt(int(row), int(SessionColumnId::Username)),
                         &m_sessions.SortKeyAt(int(row), int(SessionColumnId::Sid))};
        }
        std::vector<int> rows(count);
        std::iota(rows.begin(), rows.end(), 0);
        std::sort(rows.begin(), rows.end(), [&](int a, int b) {
            const Keys& x = keys[std::size_t(a)];
            const Keys& y = keys[std::size_t(b)];
            if (const int c = x.column->Compare(*y.column); c != 0) {
                return order == Qt::AscendingOrder ? c < 0 : c > 0;
            }
            if (const int c = x.user->Compare(*y.user); c != 0) {
                return c < 0;
            }
            return x.sid->Compare(*y.sid) < 0;
        });
        std::vector<int> rank(rows.size());
        for (std::size_t place = 0; place < rows.size(); ++place) {
            rank[std::size_t(rows[place])] = int(place);
        }
        m_rank = std::move(rank);
        m_rankColumn = column;
        m_rankOrder = order;
    }
    QSortFilterProxyModel::sort(column, order);
}

bool CSessionSortFilter::Before(int a, int b, int column, Qt::SortOrder order) const {
    if (!m_rank.empty() && column == m_rankColumn && order == m_rankOrder) {
        return m_rank[std::size_t(a)] < m_rank[std::size_t(b)];
    }
    if (const int c = m_sessions.CompareCells(a, b, column); c != 0) {
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    }
    for (SessionColumnId tie : {SessionColumnId::Username, SessionColumnId::Sid}) {
        if (const int c = m_sessions.CompareCells(a, b, int(tie)); c != 0) {
            return c < 0;
        }
    }
    return false;
}

// For a descending sort the proxy asks whether right is less than left; the answer comes from
// the descending order itself, so that ties stay in ascending order.
bool CSessionSortFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const int column = left.column();
    return sortOrder() == Qt::AscendingOrder
               ? Before(left.row(), right.row(), column, Qt::AscendingOrder)
               : Before(right.row(), left.row(), column, Qt::DescendingOrder);
}

void CSessionSortFilter::SetBlockers(std::unordered_map<std::string, int> blocked) {
    if (blocked == m_blocked) {
        return;
    }
    m_blocked = std::move(blocked);
    if (rowCount() > 0 && !m_shown.empty()) {
        const int label = int(m_shown.front());
        emit dataChanged(index(0, label), index(rowCount() - 1, label),
                         {Qt::DecorationRole, Qt::ToolTipRole});
    }
}

std::string CSessionSortFilter::BlockerKey(const QString& instance, const QString& sid) {
    return (instance + u'@' + sid).toStdString();
}

QVariant CSessionSortFilter::data(const QModelIndex& index, int role) const {
    if (role == Qt::ToolTipRole && index.column() == int(SessionColumnId::Instance)) {
        return QString::fromStdString(KnownDatabaseShape().InstanceName(
            QSortFilterProxyModel::data(index, Qt::DisplayRole).toString().toStdString()));
    }
    const bool mark = (role == Qt::DecorationRole || role == Qt::ToolTipRole) &&
                      !m_blocked.empty() && index.isValid() && !m_shown.empty() &&
                      index.column() == int(m_shown.front());
    if (!mark) {
        return QSortFilterProxyModel::data(index, role);
    }
    const int row = mapToSource(index).row();
    const auto found =
        m_blocked.find(BlockerKey(m_sessions.GetItemText(row, int(SessionColumnId::Instance)),
                                  m_sessions.GetItemText(row, int(SessionColumnId::Sid))));
    if (found == m_blocked.end()) {
        return {};
    }
    if (role == Qt::ToolTipRole) {
        return found->second == 1 ? QStringLiteral("blocks 1 session")
                                  : QStringLiteral("blocks %1 sessions").arg(found->second);
    }
    return m_blockerMark;
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
