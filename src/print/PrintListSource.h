#pragma once
// What a list report reads from a report-style list: its columns as the header shows them and
// the text of each cell, read when the cell is drawn.

#include <QString>
#include <Qt>

struct PrintListColumn {
    QString heading;
    int width = 0;  // on screen, in pixels
    Qt::Alignment alignment = Qt::AlignLeft;
};

class PrintListSource {
public:
    virtual ~PrintListSource() = default;

    virtual int RowCount() const = 0;
    virtual int ColumnCount() const = 0;
    // False when the column cannot be read.
    virtual bool GetColumn(int column, PrintListColumn& out) const = 0;
    // The cell's whole text; empty for a cell that does not exist.
    virtual QString CellText(int row, int column) const = 0;
};
