#include "list/ListPrintSource.h"

#include <QHeaderView>

#include "list/ListViewEx.h"

CListPrintSource::CListPrintSource(const CListViewEx& view)
    : m_view(view), m_columns(view.ShownColumns()) {}

int CListPrintSource::RowCount() const {
    return m_view.model() ? m_view.model()->rowCount() : 0;
}

int CListPrintSource::ColumnCount() const {
    return int(m_columns.size());
}

bool CListPrintSource::GetColumn(int column, PrintListColumn& out) const {
    if (column < 0 || column >= ColumnCount() || !m_view.model()) {
        return false;
    }
    const int shown = m_columns[std::size_t(column)];
    const QAbstractItemModel& model = *m_view.model();
    out.heading = model.headerData(shown, Qt::Horizontal, Qt::DisplayRole).toString();
    out.width = m_view.header()->sectionSize(shown);
    out.alignment =
        Qt::Alignment(model.headerData(shown, Qt::Horizontal, Qt::TextAlignmentRole).toInt()) &
        Qt::AlignHorizontal_Mask;
    return true;
}

QString CListPrintSource::CellText(int row, int column) const {
    if (column < 0 || column >= ColumnCount() || !m_view.model()) {
        return {};
    }
    return m_view.GetItemText(row, m_columns[std::size_t(column)]);
}
