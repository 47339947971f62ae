// The view's columns, their order and sort, the filter, and the layout kept between runs.

#include <QHeaderView>
#include <QMouseEvent>
#include <algorithm>

#include "LayoutSettings.h"
#include "OracleConnection.h"
#include "SessionStatements.h"
#include "sessionview/NimbraView.h"
#include "sessionview/SessionSortFilter.h"

std::vector<SessionColumnId> CNimbraView::ShownColumnIds() const {
    std::vector<SessionColumnId> shown;
    for (int column : ShownColumns()) {
        shown.push_back(SessionColumnId(column));
    }
    return shown;
}

void CNimbraView::ShowColumns(const std::vector<SessionColumnId>& shown) {
    if (shown.empty()) {
        return;
    }
    const std::vector<SessionColumnId> readBefore = ChosenColumns();
    QHeaderView* head = header();
    for (const SessionColumn& column : SessionColumns()) {
        // Those the database brings come and go with it.
        if (column.automatic) {
            continue;
        }
        const bool wanted = std::find(shown.begin(), shown.end(), column.id) != shown.end();
        head->setSectionHidden(int(column.id), !wanted);
    }
    for (std::size_t visual = 0; visual < shown.size(); ++visual) {
        head->moveSection(head->visualIndex(int(shown[visual])), int(visual));
    }
    m_sorted->SetShownColumns(ShownColumnIds());
    const std::vector<SessionColumnId> chosen = ChosenColumns();
    const auto added = std::find_if(chosen.begin(), chosen.end(), [&](SessionColumnId id) {
        return std::find(readBefore.begin(), readBefore.end(), id) == readBefore.end();
    });
    if (added != chosen.end() && IsLoggedOn()) {
        RefreshList();
    }
    // A column just chosen is brought into sight.
    if (added != chosen.end() && model()->rowCount() > 0) {
        scrollTo(model()->index(std::max(0, GetNextItem(-1, Focused)), int(*added)));
    }
}

void CNimbraView::HideUnread(const std::vector<SessionColumnId>& read) {
    for (SessionColumnId id : ChosenColumns()) {
        if (!IsColumnAvailable(id) && std::find(read.begin(), read.end(), id) == read.end()) {
            header()->setSectionHidden(int(id), true);
        }
    }
}

void CNimbraView::ShowAutomatic(const std::vector<SessionColumnId>& read) {
    bool changed = false;
    for (SessionColumnId id : AutomaticColumns()) {
        const bool hidden = std::find(read.begin(), read.end(), id) == read.end();
        changed = changed || header()->isSectionHidden(int(id)) != hidden;
        header()->setSectionHidden(int(id), hidden);
    }
    if (changed) {
        m_sorted->SetShownColumns(ShownColumnIds());
    }
}

void CNimbraView::SetFilter(const SessionFilter& filter) {
    m_sorted->SetShownColumns(ShownColumnIds());
    m_sorted->SetFilter(filter);
    UpdateSessionCount();
}

void CNimbraView::SetHideIdle(bool hide) {
    m_sorted->SetHideIdle(hide);
    UpdateSessionCount();
}

void CNimbraView::UseServerOrder() {
    header()->setSortIndicator(-1, Qt::AscendingOrder);
}

bool CNimbraView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == header()->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const int section = header()->logicalIndexAt(press->position().toPoint());
        if ((press->modifiers() & Qt::ControlModifier) && section >= 0 &&
            section == header()->sortIndicatorSection()) {
            UseServerOrder();
            return true;
        }
    }
    return CListViewEx::eventFilter(watched, event);
}

void CNimbraView::selectionChanged(const QItemSelection& selected,
                                   const QItemSelection& deselected) {
    CListViewEx::selectionChanged(selected, deselected);
    emit selectedSessionsChanged();
}

void CNimbraView::SaveLayout(LayoutSettings& layout) const {
    const QHeaderView* head = header();
    layout.Header = head->saveState();
    layout.HeaderColumns.clear();
    for (const SessionColumn& column : SessionColumns()) {
        layout.HeaderColumns << QString::fromLatin1(column.name);
    }
    layout.Shown.clear();
    for (SessionColumnId id : ShownColumnIds()) {
        if (ColumnOf(id).automatic) {
            continue;
        }
        layout.Shown << QStringLiteral("%1:%2")
                            .arg(QLatin1String(ColumnOf(id).name))
                            .arg(head->sectionSize(int(id)));
    }
    const int sorted = head->sortIndicatorSection();
    layout.Sort =
        sorted < 0 || sorted >= int(SessionColumns().size())
            ? QString()
            : QLatin1String(SessionColumns()[std::size_t(sorted)].name) +
                  (head->sortIndicatorOrder() == Qt::DescendingOrder ? QStringLiteral(":desc")
                                                                     : QString());
    layout.HideIdle = m_sorted->HidesIdle();
}

// A header saved for the same columns comes back whole; one saved for other columns (another
// release) comes back by column name, as far as its names are still known.
void CNimbraView::RestoreLayout(const LayoutSettings& layout) {
    QStringList names;
    for (const SessionColumn& column : SessionColumns()) {
        names << QString::fromLatin1(column.name);
    }
    if (layout.HeaderColumns != names || !header()->restoreState(layout.Header)) {
        std::vector<SessionColumnId> shown;
        for (const QString& entry : layout.Shown) {
            const SessionColumn* column = FindColumn(entry.section(u':', 0, 0).toStdString());
            const int width = entry.section(u':', 1, 1).toInt();
            if (column && std::find(shown.begin(), shown.end(), column->id) == shown.end()) {
                shown.push_back(column->id);
                if (width > 0) {
                    header()->resizeSection(int(column->id), width);
                }
            }
        }
        ShowColumns(shown);
        const SessionColumn* sorted = FindColumn(layout.Sort.section(u':', 0, 0).toStdString());
        header()->setSortIndicator(sorted ? int(sorted->id) : -1,
                                   layout.Sort.endsWith(QLatin1String(":desc"))
                                       ? Qt::DescendingOrder
                                       : Qt::AscendingOrder);
    }
    // Every column hidden would leave nothing to click; the seven come back then.
    if (ShownColumns().empty()) {
        ShowColumns(ListColumns({}));
    }
    m_sorted->SetShownColumns(ShownColumnIds());
    SetHideIdle(layout.HideIdle);
}
