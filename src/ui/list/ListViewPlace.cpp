// CListViewEx::ReplaceItems: new rows under the user's selection, focus and scroll position.

#include <QItemSelection>
#include <QItemSelectionModel>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "list/ListViewEx.h"

namespace {
// Where the user is in the list, by row and by key: the rows follow an in-place update by
// themselves, the keys find them again after a reset.
struct Place {
    std::vector<QPersistentModelIndex> visible;  // top to bottom
    std::vector<std::string> visibleKeys;
    std::unordered_set<std::string> selectedKeys;
    std::string currentKey;
};
}  // namespace

void CListViewEx::ReplaceItems(std::vector<CListModel::Row> rows,
                               const std::vector<int>& keyColumns) {
    Place place;
    for (QModelIndex row = QTreeView::indexAt(QPoint(0, 0));
         row.isValid() && visualRect(row).top() < viewport()->height(); row = indexBelow(row)) {
        place.visible.emplace_back(row);
        place.visibleKeys.push_back(m_model->RowKey(row.row(), keyColumns));
    }
    for (int item : SelectedItems()) {
        place.selectedKeys.insert(m_model->RowKey(item, keyColumns));
    }
    place.currentKey = m_model->RowKey(GetNextItem(-1, Focused), keyColumns);

    QModelIndex top;
    if (m_model->ReplaceRows(std::move(rows), keyColumns)) {
        for (const QPersistentModelIndex& row : place.visible) {
            if (row.isValid()) {
                top = row;
                break;
            }
        }
    } else {
        std::unordered_map<std::string, int> rowOf;
        for (int item = 0; item < m_model->GetItemCount(); ++item) {
            rowOf.emplace(m_model->RowKey(item, keyColumns), item);
        }
        const auto find = [&](const std::string& key) {
            const auto found = rowOf.find(key);
            return found == rowOf.end() ? QModelIndex() : m_model->index(found->second, 0);
        };
        QItemSelection selection;
        for (const std::string& key : place.selectedKeys) {
            if (const QModelIndex row = find(key); row.isValid()) {
                selection.select(row, row);
            }
        }
        selectionModel()->select(selection,
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        if (const QModelIndex current = find(place.currentKey); current.isValid()) {
            selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
        }
        for (const std::string& key : place.visibleKeys) {
            if (top = find(key); top.isValid()) {
                break;
            }
        }
    }
    if (top.isValid()) {
        scrollTo(top, PositionAtTop);
    }
}
