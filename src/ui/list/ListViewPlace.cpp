// CListViewEx::KeepPlace: new rows under the user's selection, focus and scroll position.

#include <QItemSelection>
#include <QItemSelectionModel>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "list/ListModel.h"
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

namespace {
std::string keyOf(const QModelIndex& row) {
    return row.isValid() ? row.data(CListModel::KeyRole).toString().toStdString() : std::string();
}
}  // namespace

void CListViewEx::KeepPlace(const std::function<bool()>& change) {
    Place place;
    for (QModelIndex row = QTreeView::indexAt(QPoint(0, 0));
         row.isValid() && visualRect(row).top() < viewport()->height(); row = indexBelow(row)) {
        place.visible.emplace_back(row);
        place.visibleKeys.push_back(keyOf(row));
    }
    for (int item : SelectedItems()) {
        place.selectedKeys.insert(keyOf(model()->index(item, 0)));
    }
    place.currentKey = keyOf(currentIndex());

    QModelIndex top;
    if (change()) {
        for (const QPersistentModelIndex& row : place.visible) {
            if (row.isValid()) {
                top = row;
                break;
            }
        }
    } else {
        std::unordered_map<std::string, int> rowOf;
        for (int item = 0; item < model()->rowCount(); ++item) {
            rowOf.emplace(keyOf(model()->index(item, 0)), item);
        }
        const auto find = [&](const std::string& key) {
            const auto found = rowOf.find(key);
            return found == rowOf.end() ? QModelIndex() : model()->index(found->second, 0);
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
