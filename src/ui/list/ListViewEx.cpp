#include "list/ListViewEx.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QIcon>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "list/ListModel.h"

namespace {
// A rectangle from its left and (exclusive) right edges.
QRect Span(int left, int right, int top, int height) {
    return {left, top, right - left, height};
}

// One line, vertically centred, cut short with an ellipsis; "&" is an ordinary character.
// Drawn at a computed baseline rather than laid out in the rectangle: the ellipsis already
// keeps the text inside it, and the layout pass would shape every text a second time.
void DrawCellText(QPainter* painter, const QRect& rect, int flags, const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    const QFontMetrics metrics = painter->fontMetrics();
    const int room = std::max(0, rect.width());
    int width = metrics.horizontalAdvance(text);
    QString shown = text;
    if (width > room) {
        shown = metrics.elidedText(text, Qt::ElideRight, room);
        width = metrics.horizontalAdvance(shown);
    }
    int x = rect.left();
    if (flags & (Qt::AlignRight | Qt::AlignHCenter)) {
        x += flags & Qt::AlignRight ? room - width : (room - width) / 2;
    }
    const int baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();
    painter->drawText(QPoint(x, baseline), shown);
}

// A bar behind a cell's text, filled as far as the work is done with a tint of colour (the
// highlight's, or on a highlighted row its text's) light enough for the text to stay readable.
void DrawProgressBar(QPainter* painter, const QRect& cell, double done, QColor colour) {
    const QRect bar = cell.adjusted(0, 2, 0, -2);
    if (bar.width() < 3 || bar.height() < 3) {
        return;
    }
    colour.setAlpha(110);
    const int filled = int((bar.width() - 2) * std::clamp(done, 0.0, 1.0));
    painter->fillRect(QRect(bar.left() + 1, bar.top() + 1, filled, bar.height() - 2), colour);
    colour.setAlpha(200);
    painter->save();
    painter->setPen(colour);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(bar.adjusted(0, 0, -1, -1));
    painter->restore();
}

// The dotted one-pixel frame of a list control's focused row, its dots the inverse of the fill
// as if drawn in XOR. (Some styles' focus frame tints the whole rectangle instead.)
void DrawFocusFrame(QPainter* painter, const QRect& frame, const QColor& fill) {
    const QBrush dots(QColor(fill.red() ^ 0xff, fill.green() ^ 0xff, fill.blue() ^ 0xff),
                      Qt::Dense4Pattern);
    painter->setBrushOrigin(frame.topLeft());
    painter->fillRect(QRect(frame.left(), frame.top(), frame.width(), 1), dots);
    painter->fillRect(QRect(frame.left(), frame.bottom(), frame.width(), 1), dots);
    painter->fillRect(QRect(frame.left(), frame.top(), 1, frame.height()), dots);
    painter->fillRect(QRect(frame.right(), frame.top(), 1, frame.height()), dots);
}
}  // namespace

CListViewEx::CListViewEx(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    // A change of the current row then repaints the whole row, focus rectangle included.
    setAllColumnsShowFocus(true);
    setSelectionMode(ExtendedSelection);
    setSelectionBehavior(SelectRows);
    // Nothing in a list of sessions is edited: a click on any cell only selects.
    setEditTriggers(NoEditTriggers);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
}

int CListViewEx::GetNextItem(int start, NextItemFlag flag) const {
    if (flag == Focused) {
        const QModelIndex current = currentIndex();
        return current.isValid() && current.row() > start ? current.row() : -1;
    }
    int next = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        const int candidate = std::max(range.top(), start + 1);
        if (candidate <= range.bottom() && (next < 0 || candidate < next)) {
            next = candidate;
        }
    }
    return next;
}

QString CListViewEx::GetItemText(int item, int subItem) const {
    return model() ? model()->index(item, subItem).data(Qt::DisplayRole).toString() : QString();
}

QString CListViewEx::CellText(const QModelIndex& cell) const {
    return cell.data(Qt::DisplayRole).toString();
}

std::vector<int> CListViewEx::ShownColumns() const {
    std::vector<int> shown;
    const QHeaderView* head = header();
    for (int visual = 0; visual < head->count(); ++visual) {
        const int column = head->logicalIndex(visual);
        if (!head->isSectionHidden(column)) {
            shown.push_back(column);
        }
    }
    return shown;
}

int CListViewEx::HitTest(const QPoint& viewportPoint) const {
    if (!viewport()->rect().contains(viewportPoint)) {
        return -1;
    }
    const QModelIndex index = indexAt(viewportPoint);
    return index.isValid() ? index.row() : -1;
}

QModelIndex CListViewEx::indexAt(const QPoint& viewportPoint) const {
    const QModelIndex cell = QTreeView::indexAt(viewportPoint);
    const std::vector<int> shown = ShownColumns();
    if (cell.isValid() || shown.empty() ||
        viewportPoint.x() < columnViewportPosition(shown.front())) {
        return cell;
    }
    // The first shown column, or whichever column is scrolled to the left edge, covers x = 0.
    const QModelIndex row = QTreeView::indexAt(QPoint(0, viewportPoint.y()));
    return row.isValid() ? row.siblingAtColumn(shown.back()) : row;
}

// The selection is read once: asking for it row by row copies every range each time.
std::vector<int> CListViewEx::SelectedItems() const {
    std::vector<int> items;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            items.push_back(row);
        }
    }
    std::sort(items.begin(), items.end());
    items.erase(std::unique(items.begin(), items.end()), items.end());
    return items;
}

void CListViewEx::SetDropHighlighted(int item, bool on) {
    const int previous = m_dropHighlighted.isValid() ? m_dropHighlighted.row() : -1;
    if (on && model() && item >= 0 && item < model()->rowCount()) {
        m_dropHighlighted = model()->index(item, 0);
    } else if (!on && item == previous && previous >= 0) {
        m_dropHighlighted = QPersistentModelIndex();
    } else {
        return;
    }
    if (previous >= 0) {
        viewport()->update(BandRect(previous, previous));
    }
    viewport()->update(BandRect(item, item));
}

void CListViewEx::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    const std::vector<int> shown = ShownColumns();
    if (shown.empty()) {
        return;
    }
    const int row = index.row();
    const bool focus = ShowsFocus();
    const bool dropTarget = m_dropHighlighted.isValid() && m_dropHighlighted.row() == row;
    // The selection stays in sight while a menu, a question or a sheet has the focus.
    const bool selected = selectionModel()->rowIntersectsSelection(row, rootIndex());
    const bool highlighted = dropTarget || selected;
    const QPalette::ColorGroup group = dropTarget || focus ? QPalette::Active : QPalette::Inactive;

    const int top = option.rect.top();
    const int height = option.rect.height();
    const int label = shown.front();
    // In a tree the band starts right of the row's branches, which are drawn as a tree draws
    // them.
    const int indent = Indent(index);
    const int labelLeft = columnViewportPosition(label) + indent;
    const int labelRight = columnViewportPosition(label) + columnWidth(label);
    const int boundsRight = columnViewportPosition(shown.back()) + columnWidth(shown.back());
    const QRect band = Span(labelLeft, viewport()->width(), top, height);
    if (indent > 0) {
        drawBranches(painter, Span(labelLeft - indent, labelLeft, top, height), index);
    }

    painter->save();
    painter->setFont(option.font);
    const QPalette& colours = palette();
    const QColor fill = colours.color(group, highlighted ? QPalette::Highlight : QPalette::Base);
    painter->fillRect(band, fill);
    painter->setPen(colours.color(group, highlighted ? QPalette::HighlightedText : QPalette::Text));
    const int inset = Inset();

    painter->save();
    painter->setClipRect(Span(labelLeft, labelRight, top, height), Qt::IntersectClip);
    QRect labelText = TextRect(label, top, height, inset);
    labelText.setLeft(labelText.left() + indent);
    const QModelIndex labelCell = index.siblingAtColumn(label);
    // A mark the model gives the row stands before its label.
    if (const QIcon mark = qvariant_cast<QIcon>(labelCell.data(Qt::DecorationRole));
        !mark.isNull()) {
        const int side = std::max(0, std::min(height - 2, QFontMetrics(option.font).height()));
        mark.paint(painter, QRect(labelText.left(), top + (height - side) / 2, side, side));
        labelText.setLeft(labelText.left() + side + inset / 2);
    }
    DrawCellText(painter, labelText, Qt::AlignLeft | Qt::TextDontClip, CellText(labelCell));
    painter->restore();

    painter->setClipRect(Span(labelLeft, std::max(boundsRight, viewport()->width()), top, height),
                         Qt::IntersectClip);
    for (std::size_t i = 1; i < shown.size(); ++i) {
        const int column = shown[i];
        const int alignment =
            model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt();
        const QModelIndex cell = index.siblingAtColumn(column);
        if (const QVariant done = cell.data(CListModel::ProgressRole); done.isValid()) {
            DrawProgressBar(
                painter,
                Span(columnViewportPosition(column) + inset / 2,
                     columnViewportPosition(column) + columnWidth(column) - inset / 2, top, height),
                done.toDouble(),
                colours.color(group,
                              highlighted ? QPalette::HighlightedText : QPalette::Highlight));
        }
        DrawCellText(painter, TextRect(column, top, height, inset), alignment, CellText(cell));
    }

    const QModelIndex current = currentIndex();
    if (focus && current.isValid() && current.row() == row) {
        DrawFocusFrame(painter, band, fill);
    }
    painter->restore();
}

void CListViewEx::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    SyncFocusShown();
}

void CListViewEx::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    SyncFocusShown();
}

void CListViewEx::InvalidateSelectedRows() {
    QRegion rows;
    const int focused = GetNextItem(-1, Focused);
    if (focused >= 0) {
        rows += BandRect(focused, focused);
    }
    rows += visualRegionForSelection(selectionModel()->selection());
    if (!rows.isEmpty()) {
        viewport()->repaint(rows);
    }
}

int CListViewEx::sizeHintForColumn(int column) const {
    if (!model() || column < 0 || column >= model()->columnCount()) {
        return -1;
    }
    const QFontMetrics metrics(font());
    int widest = 0;
    for (int row = 0; row < model()->rowCount(); ++row) {
        widest = std::max(widest, metrics.horizontalAdvance(CellText(model()->index(row, column))));
    }
    // The label keeps half an inset on its left and a whole one on its right; every other
    // column a whole one on each side.
    const int inset = Inset();
    const std::vector<int> shown = ShownColumns();
    const bool label = !shown.empty() && shown.front() == column;
    return widest + (label ? inset + inset / 2 : 2 * inset);
}

bool CListViewEx::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QTreeView::viewportEvent(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex cell = QTreeView::indexAt(help->pos());
    const QRect rect = visualRect(cell);
    // A word the model has for the cell comes first.
    if (const QString tip = cell.data(Qt::ToolTipRole).toString(); !tip.isEmpty()) {
        QToolTip::showText(help->globalPos(), tip, viewport(), rect);
        return true;
    }
    const QString text = cell.isValid() ? CellText(cell) : QString();
    const QRect room = TextRect(cell.column(), rect.top(), rect.height(), Inset());
    if (text.isEmpty() || QFontMetrics(font()).horizontalAdvance(text) <= room.width()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(help->globalPos(), text, viewport(), rect);
    return true;
}

QRegion CListViewEx::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion bands;
    for (const QItemSelectionRange& range : selection) {
        bands += BandRect(range.top(), range.bottom());
    }
    return bands;
}

bool CListViewEx::ShowsFocus() const {
    return QApplication::focusWidget() == this;
}

void CListViewEx::SyncFocusShown() {
    const bool shown = ShowsFocus();
    if (shown != m_bFocusShown) {
        m_bFocusShown = shown;
        InvalidateSelectedRows();
    }
}

int CListViewEx::Inset() const {
    return 2 * QFontMetrics(font()).horizontalAdvance(QStringLiteral(" "));
}

int CListViewEx::Indent(const QModelIndex& index) const {
    int depth = rootIsDecorated() ? 1 : 0;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) {
        ++depth;
    }
    return depth * indentation();
}

QRect CListViewEx::TextRect(int column, int top, int height, int inset) const {
    const int left = columnViewportPosition(column);
    const int right = left + columnWidth(column);
    const std::vector<int> shown = ShownColumns();
    const bool label = !shown.empty() && shown.front() == column;
    return label ? Span(left + inset / 2, right - inset, top, height)
                 : Span(left + inset, right - inset, top, height);
}

QRect CListViewEx::BandRect(int firstRow, int lastRow) const {
    const std::vector<int> shown = ShownColumns();
    if (!model() || shown.empty()) {
        return {};
    }
    const QRect first = visualRect(model()->index(firstRow, shown.front()));
    const QRect last = visualRect(model()->index(lastRow, shown.front()));
    if (first.height() <= 0 || last.height() <= 0) {
        return {};
    }
    const QRect band(QPoint(first.left(), first.top()),
                     QPoint(viewport()->width() - 1, last.bottom()));
    return band.intersected(viewport()->rect());
}
