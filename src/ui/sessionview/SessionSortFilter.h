#pragma once
// Between the sessions and the view: keeps the sessions that pass the filter and sorts them by a
// column. Numbers and dates sort by value, texts by the locale ignoring letter case, empty values
// last; ties go by user name and then SID, in ascending order whichever way the column sorts.
// Without a sort column the sessions keep the statement's order.

#include <QIcon>
#include <QSortFilterProxyModel>
#include <string>
#include <unordered_map>
#include <vector>

#include "SessionColumns.h"
#include "SessionFilter.h"

class CListModel;

class CSessionSortFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    // The sessions' model, whose columns are the session columns in their table's order.
    explicit CSessionSortFilter(CListModel& sessions, QObject* parent = nullptr);

    void SetFilter(const SessionFilter& filter);
    // Keeps only ACTIVE sessions.
    void SetHideIdle(bool hide);
    bool HidesIdle() const { return m_bHideIdle; }
    // The columns a plain filter term looks in.
    void SetShownColumns(std::vector<SessionColumnId> shown);
    // Whether a filter or the idle switch may leave sessions out.
    bool Filters() const { return !m_filter.IsEmpty() || m_bHideIdle; }

    // Ranks every session once for the order asked, so that sorting compares numbers.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // How many sessions each blocker (by BlockerKey) holds up; its first shown cell then shows a
    // mark, and "blocks 3 sessions" as its tool tip.
    void SetBlockers(std::unordered_map<std::string, int> blocked);
    // A blocker by its instance (empty on a single instance) and SID.
    static std::string BlockerKey(const QString& instance, const QString& sid);
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    // Whether source row a comes before b when sorted by column in order.
    bool Before(int a, int b, int column, Qt::SortOrder order) const;

    CListModel& m_sessions;
    // Each source row's place in the order of the last sort, while the rows have not changed
    // since; empty otherwise.
    std::vector<int> m_rank;
    int m_rankColumn = -1;
    Qt::SortOrder m_rankOrder = Qt::AscendingOrder;
    SessionFilter m_filter;
    bool m_bHideIdle = false;
    std::vector<SessionColumnId> m_shown;
    std::unordered_map<std::string, int> m_blocked;
    QIcon m_blockerMark;
};
