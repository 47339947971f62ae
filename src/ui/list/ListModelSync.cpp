// CListModel::ReplaceRows: the list's rows turned into new ones with as few announced changes as
// it takes, so that views, selections and persistent indexes follow each row by itself.

#include <algorithm>
#include <string>
#include <unordered_set>
#include <utility>

#include "list/ListModel.h"

namespace {
// Beyond this many inserted runs, removed runs and moves one reset is cheaper for the view, and
// a list reordered that much keeps no place worth keeping row by row.
constexpr int kMaxStructuralChanges = 64;
constexpr std::size_t kNone = std::size_t(-1);
}  // namespace

class RowSync {
public:
    using Row = CListModel::Row;

    RowSync(CListModel& model, std::vector<Row>& incoming, const std::vector<int>& keyColumns)
        : m(model), in(incoming), keys(keyColumns) {}

    bool Run() {
        std::vector<Row>& rows = m.m_rows;
        if (rows.empty() || in.empty()) {
            Remove(0, rows.size());
            Insert(0, 0, in.size());
            return true;
        }
        std::size_t i = 0;
        std::size_t j = 0;
        while (j < in.size()) {
            if (i < rows.size() && SameKey(rows[i], in[j])) {
                Update(i++, in[j++]);
                continue;
            }
            if (!m_indexed && !Index(i)) {
                return Reset(i, j);
            }
            std::size_t gone = i;
            while (gone < rows.size() && !m_incoming.contains(KeyOf(rows[gone]))) {
                ++gone;
            }
            std::size_t fresh = j;
            while (gone == i && fresh < in.size() && !m_pending.contains(KeyOf(in[fresh]))) {
                ++fresh;
            }
            if (++m_structural > kMaxStructuralChanges) {
                return Reset(i, j);
            }
            if (gone > i) {
                Remove(i, gone - i);
            } else if (fresh > j) {
                Insert(i, j, fresh - j);
                i += fresh - j;
                j = fresh;
            } else {
                MoveUp(Find(KeyOf(in[j]), i + 1), i);
                Update(i++, in[j++]);
            }
        }
        Remove(i, rows.size() - i);
        Flush();
        return true;
    }

private:
    std::string KeyOf(const Row& row) const {
        std::string key;
        for (int column : keys) {
            key += row.Text(std::size_t(column));
            key += '\x1f';
        }
        return key;
    }
    bool SameKey(const Row& a, const Row& b) const {
        for (int column : keys) {
            if (a.Text(std::size_t(column)) != b.Text(std::size_t(column))) {
                return false;
            }
        }
        return true;
    }

    // Keys of all incoming rows and of the listed rows from first on; false for a repeated key.
    bool Index(std::size_t first) {
        m_indexed = true;
        for (std::size_t j = 0; j < in.size(); ++j) {
            if (!m_incoming.insert(KeyOf(in[j])).second) {
                return false;
            }
        }
        for (std::size_t i = first; i < m.m_rows.size(); ++i) {
            if (!m_pending.insert(KeyOf(m.m_rows[i])).second) {
                return false;
            }
        }
        return true;
    }
    std::size_t Find(const std::string& key, std::size_t from) const {
        for (std::size_t i = from; i < m.m_rows.size(); ++i) {
            if (KeyOf(m.m_rows[i]) == key) {
                return i;
            }
        }
        return kNone;
    }

    void Update(std::size_t i, Row& row) {
        Row& listed = m.m_rows[i];
        if (m_indexed) {
            m_pending.erase(KeyOf(listed));
        }
        if (listed == row) {
            return;
        }
        std::swap(listed, row);
        if (m_changedFirst != kNone && i == m_changedLast + 1) {
            m_changedLast = i;
            return;
        }
        Flush();
        m_changedFirst = m_changedLast = i;
    }
    // Announces the rows changed since the last structural change as one range.
    void Flush() {
        if (m_changedFirst == kNone) {
            return;
        }
        emit m.dataChanged(m.index(int(m_changedFirst), 0),
                           m.index(int(m_changedLast), std::max(0, m.columnCount() - 1)),
                           {Qt::DisplayRole});
        m_changedFirst = m_changedLast = kNone;
    }
    void Remove(std::size_t first, std::size_t count) {
        if (count == 0) {
            return;
        }
        Flush();
        auto begin = m.m_rows.begin() + std::ptrdiff_t(first);
        if (m_indexed) {
            for (auto it = begin; it != begin + std::ptrdiff_t(count); ++it) {
                m_pending.erase(KeyOf(*it));
            }
        }
        m.beginRemoveRows({}, int(first), int(first + count - 1));
        m.m_rows.erase(begin, begin + std::ptrdiff_t(count));
        m.endRemoveRows();
    }
    void Insert(std::size_t at, std::size_t from, std::size_t count) {
        if (count == 0) {
            return;
        }
        Flush();
        m.beginInsertRows({}, int(at), int(at + count - 1));
        auto source = in.begin() + std::ptrdiff_t(from);
        m.m_rows.insert(m.m_rows.begin() + std::ptrdiff_t(at), std::make_move_iterator(source),
                        std::make_move_iterator(source + std::ptrdiff_t(count)));
        m.endInsertRows();
    }
    void MoveUp(std::size_t from, std::size_t to) {
        Flush();
        m.beginMoveRows({}, int(from), int(from), {}, int(to));
        auto rows = m.m_rows.begin();
        std::rotate(rows + std::ptrdiff_t(to), rows + std::ptrdiff_t(from),
                    rows + std::ptrdiff_t(from + 1));
        m.endMoveRows();
    }
    // The first listed rows already match the first incoming ones; the rest arrive in one reset.
    bool Reset(std::size_t listed, std::size_t from) {
        m.beginResetModel();
        m.m_rows.resize(listed);
        m.m_rows.insert(m.m_rows.end(), std::make_move_iterator(in.begin() + std::ptrdiff_t(from)),
                        std::make_move_iterator(in.end()));
        m.endResetModel();
        return false;
    }

    CListModel& m;
    std::vector<Row>& in;
    const std::vector<int>& keys;
    bool m_indexed = false;
    std::unordered_set<std::string> m_incoming;  // keys of all incoming rows
    std::unordered_set<std::string> m_pending;   // keys of listed rows not yet matched
    int m_structural = 0;
    std::size_t m_changedFirst = kNone;
    std::size_t m_changedLast = kNone;
};

bool CListModel::ReplaceRows(std::vector<Row> rows, const std::vector<int>& keyColumns) {
    m_keyColumns = keyColumns;
    for (Row& row : rows) {
        row.Resize(RowWidth());
    }
    const bool keyed =
        !keyColumns.empty() && std::all_of(keyColumns.begin(), keyColumns.end(), [&](int column) {
            return column >= 0 && std::size_t(column) < RowWidth();
        });
    if (!keyed) {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
        return false;
    }
    return RowSync(*this, rows, keyColumns).Run();
}
