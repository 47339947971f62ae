#include "list/ListPrintSource.h"

#include <QHeaderView>

#include "list/ListViewEx.h"

int CListPrintSource::RowCount() const {
    return m_view.ListModel()->GetItemCount();
}

int CListPrintSource::ColumnCount() const {
    return m_view.header()->count();
}

// A hidden section reads as width 0, as a column dragged shut on screen.
bool CListPrintSource::GetColumn(int column, PrintListColumn& out) const {
    if (column < 0 || column >= ColumnCount()) {
        return false;
    }
    out.heading = m_view.ListModel()->ColumnHeading(column);
    out.width = m_view.header()->sectionSize(column);
    out.alignment = m_view.ListModel()->ColumnAlignment(column);
    return true;
}

QString CListPrintSource::CellText(int row, int column) const {
    return m_view.GetItemText(row, column);
}
