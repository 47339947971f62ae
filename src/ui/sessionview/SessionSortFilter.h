#pragma once
// Between the sessions and the view: keeps the sessions that pass the filter and sorts them by a
// column. Numbers and dates sort by value, texts by the locale ignoring letter case, empty values
// last; ties go by user name and then SID, in ascending order whichever way the column sorts.
// Without a sort column the sessions keep the statement's order.

#include <QSortFilterProxyModel>
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

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    CListModel& m_sessions;
    SessionFilter m_filter;
    bool m_bHideIdle = false;
    std::vector<SessionColumnId> m_shown;
};
