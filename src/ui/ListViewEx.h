#pragma once
// A report-style list whose rows are painted as one band: a highlighted row is filled from the
// first column's label to the right edge of the view, with the focus rectangle around it.

#include <QPersistentModelIndex>
#include <QTreeView>

#include "ListModel.h"

class CListViewEx : public QTreeView {
    Q_OBJECT
public:
    explicit CListViewEx(QWidget* parent = nullptr);

    CListModel* ListModel() const { return m_model; }

    // Appends a column with its heading, alignment and width in pixels; returns its position.
    int InsertColumn(int position, const QString& heading, Qt::Alignment alignment, int width);

    enum NextItemFlag { Selected, Focused };
    // The first row after start (-1: from the top) with the flag; -1 when there is none.
    int GetNextItem(int start, NextItemFlag flag) const;
    QString GetItemText(int item, int subItem) const;
    // The row under a point in viewport coordinates, -1 when there is none. The whole band
    // counts, including the strip right of the last column.
    int HitTest(const QPoint& viewportPoint) const;
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
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    // The view or its own label editor holds the keyboard focus.
    bool ShowsFocus() const;
    void SyncFocusShown();
    // The bands of the rows first to last, within the viewport.
    QRect BandRect(int firstRow, int lastRow) const;

    CListModel* m_model;
    // Follows its row through inserts; lost when the row goes.
    QPersistentModelIndex m_dropHighlighted;
    bool m_bFocusShown = false;
};
