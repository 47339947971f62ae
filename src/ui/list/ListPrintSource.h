#pragma once
// A full-row list view as a list report reads it: its header's columns and its model's texts.

#include "PrintListSource.h"

class CListViewEx;

class CListPrintSource : public PrintListSource {
public:
    // The view is borrowed and must outlive the source.
    explicit CListPrintSource(const CListViewEx& view) : m_view(view) {}

    int RowCount() const override;
    int ColumnCount() const override;
    bool GetColumn(int column, PrintListColumn& out) const override;
    QString CellText(int row, int column) const override;

private:
    const CListViewEx& m_view;
};
