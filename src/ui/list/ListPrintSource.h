#pragma once
// A full-row list view as a list report reads it: what it shows, the rows of its model in their
// order and its shown columns in the header's order, taken when the source is made.

#include <vector>

#include "PrintListSource.h"

class CListViewEx;

class CListPrintSource : public PrintListSource {
public:
    // The view is borrowed and must outlive the source.
    explicit CListPrintSource(const CListViewEx& view);

    int RowCount() const override;
    int ColumnCount() const override;
    bool GetColumn(int column, PrintListColumn& out) const override;
    QString CellText(int row, int column) const override;

private:
    const CListViewEx& m_view;
    std::vector<int> m_columns;
};
