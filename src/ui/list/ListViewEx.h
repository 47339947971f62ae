#pragma once
// A report-style list whose rows are painted as one band: a highlighted row is filled from the
// first column's label to the right edge of the view, with the focus rectangle around it.

#include <QPersistentModelIndex>
#include <QTreeView>
#include <string>
#include <vector>

#include "list/ListModel.h"

class CListViewEx : public QTreeView {
    Q_OBJECT
public:
    explicit CListViewEx(QWidget* parent = nullptr);

    CListModel* ListModel() const { return m_model; }

    // Appends a column with its heading, alignment and width in pixels; returns its position.
    int InsertColumn(int position, const QString& heading, Qt::Alignment alignment, int width);

    // Makes rows the list's rows and keeps the user's place: the selected rows, the focused row
    // and the first row in view stay what they were, each found again by its key (its texts in
    // keyColumns). A row whose key is gone is simply no longer there.
    void ReplaceItems(std::vector<CListModel::Row> rows, const std::vector<int>& keyColumns);

    enum NextItemFlag { Selected, Focused };
    // The first row after start (-1: from the top) with the flag; -1 when there is none.
    int GetNextItem(int start, NextItemFlag flag) const;
    QString GetItemText(int item, int subItem) const;
    // The row under a point in viewport coordinates, -1 when there is none. The whole band
    // counts, including the strip right of the last column.
    int HitTest(const QPoint& viewportPoint) const;
    // Every selected row, from the top.
    std::vector<int> SelectedItems() const;
    // The whole band counts as the row, the strip right of the last column included: a click
    // there acts on the row as a click on its cells does.
    QModelIndex indexAt(const QPoint& viewportPoint) const override;
    // Whether the row is drawn drop-highlighted (highlighted even without the focus). One row
    // at a time: marking a row unmarks the one marked before.
    void SetDropHighlighted(int item, bool on);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Repaints the focused row and, the selection not being shown without the focus, the
    // selected rows, across the whole band.
    virtual void InvalidateSelectedRows();

    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    // Widest text of the column with the insets it is drawn with, so that fitting a column to
    // its contents never cuts a text.
    int sizeHintForColumn(int column) const override;
    // A cell whose text is cut short shows the whole text as its tool tip.
    bool viewportEvent(QEvent* event) override;

private:
    // The view holds the keyboard focus.
    bool ShowsFocus() const;
    void SyncFocusShown();
    // The bands of the rows first to last, within the viewport.
    QRect BandRect(int firstRow, int lastRow) const;
    // Where a column's text goes between top and bottom: the cell less its insets.
    QRect TextRect(int column, int top, int height, int inset) const;
    int Inset() const;

    CListModel* m_model;
    // Follows its row through inserts; lost when the row goes.
    QPersistentModelIndex m_dropHighlighted;
    bool m_bFocusShown = false;
};
