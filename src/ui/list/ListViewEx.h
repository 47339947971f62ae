#pragma once
// A report-style list whose rows are painted as one band: a highlighted row is filled from the
// first shown column's label to the right edge of the view, with the focus rectangle around it.
// It paints, hit-tests and keeps the user's place only through the model it is given (a sort or
// filter proxy over the list's rows, say), in the header's order of shown columns.

#include <QPersistentModelIndex>
#include <QTreeView>
#include <functional>
#include <vector>

class CListViewEx : public QTreeView {
    Q_OBJECT
public:
    explicit CListViewEx(QWidget* parent = nullptr);

    // Runs change, which replaces the rows under the view, and keeps the user's place: the
    // selected rows, the focused row and the first row in view stay what they were. Rows the
    // model updated in place follow by themselves; when change returns false (the model was
    // reset) each is found again by its key (CListModel::KeyRole). A row whose key is gone is
    // simply no longer there.
    void KeepPlace(const std::function<bool()>& change);

    enum NextItemFlag { Selected, Focused };
    // The first row after start (-1: from the top) with the flag; -1 when there is none.
    int GetNextItem(int start, NextItemFlag flag) const;
    QString GetItemText(int item, int subItem) const;
    // The row under a point in viewport coordinates, -1 when there is none. The whole band
    // counts, including the strip right of the last column.
    int HitTest(const QPoint& viewportPoint) const;
    // Every selected row, from the top.
    std::vector<int> SelectedItems() const;
    // The shown columns, left to right as the header orders them.
    std::vector<int> ShownColumns() const;
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
    // Where a column's text goes between top and bottom: the cell less its insets; the label
    // (the first shown column) keeps other insets than the rest.
    QRect TextRect(int column, int top, int height, int inset) const;
    int Inset() const;
    // How far a row's label is moved right for its place in a tree: nothing in a flat list.
    int Indent(const QModelIndex& index) const;
    QString CellText(const QModelIndex& cell) const;

    // Follows its row through inserts; lost when the row goes.
    QPersistentModelIndex m_dropHighlighted;
    bool m_bFocusShown = false;
};
