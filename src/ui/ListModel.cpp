#include "ListModel.h"

#include <algorithm>

namespace {
// The list control knows three justifications; anything else reads as left.
Qt::Alignment Justification(Qt::Alignment alignment) {
    const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
    if (horizontal == Qt::AlignRight || horizontal == Qt::AlignHCenter) {
        return horizontal;
    }
    return Qt::AlignLeft;
}

// Views read the alignment role as an int.
QVariant AlignmentValue(Qt::Alignment horizontal) {
    return static_cast<int>(horizontal | Qt::AlignVCenter);
}
}  // namespace

CListModel::CListModel(QObject* parent) : QAbstractTableModel(parent) {}

std::size_t CListModel::RowWidth() const {
    return std::max<std::size_t>(1, m_columns.size());
}

int CListModel::InsertColumn(int position, const QString& heading, Qt::Alignment alignment) {
    if (position < 0) {
        return -1;
    }
    const int column = std::min(position, columnCount());
    beginInsertColumns({}, column, column);
    m_columns.insert(m_columns.begin() + column, Column{heading, Justification(alignment)});
    // A row keeps its item text even while the list has no column to show it in.
    if (m_columns.size() > 1) {
        for (Row& row : m_rows) {
            row.insert(row.begin() + column, std::string());
        }
    }
    endInsertColumns();
    return column;
}

QString CListModel::ColumnHeading(int column) const {
    return column >= 0 && column < columnCount() ? m_columns[column].heading : QString();
}

Qt::Alignment CListModel::ColumnAlignment(int column) const {
    return column >= 0 && column < columnCount() ? m_columns[column].alignment : Qt::AlignLeft;
}

int CListModel::InsertItem(int index, const QString& text) {
    if (index < 0 || index > GetItemCount()) {
        return -1;
    }
    beginInsertRows({}, index, index);
    Row row(RowWidth());
    row[0] = text.toStdString();
    m_rows.insert(m_rows.begin() + index, std::move(row));
    endInsertRows();
    return index;
}

bool CListModel::SetItemText(int item, int subItem, const QString& text) {
    if (item < 0 || item >= GetItemCount() || subItem < 0 ||
        std::size_t(subItem) >= m_rows[item].size()) {
        return false;
    }
    m_rows[item][subItem] = text.toStdString();
    if (subItem < columnCount()) {
        const QModelIndex cell = index(item, subItem);
        emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::EditRole});
    }
    return true;
}

QString CListModel::GetItemText(int item, int subItem) const {
    if (item < 0 || item >= GetItemCount() || subItem < 0 ||
        std::size_t(subItem) >= m_rows[item].size()) {
        return {};
    }
    return QString::fromStdString(m_rows[item][subItem]);
}

QString CListModel::DisplayText(int item, int subItem) const {
    QString text = GetItemText(item, subItem);
    for (QChar& c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r') {
            c = u' ';
        }
    }
    return text;
}

void CListModel::DeleteAllItems() {
    if (m_rows.empty()) {
        return;
    }
    beginRemoveRows({}, 0, GetItemCount() - 1);
    m_rows.clear();
    endRemoveRows();
}

int CListModel::GetItemCount() const {
    return static_cast<int>(m_rows.size());
}

std::string CListModel::RowKey(int item, const std::vector<int>& keyColumns) const {
    std::string key;
    if (item < 0 || item >= GetItemCount()) {
        return key;
    }
    for (int column : keyColumns) {
        if (std::size_t(column) < m_rows[item].size()) {
            key += m_rows[item][column];
        }
        // A separator no text of a key column holds keeps "1","23" apart from "12","3".
        key += '\x1f';
    }
    return key;
}

int CListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : GetItemCount();
}

int CListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return DisplayText(index.row(), index.column());
        case Qt::EditRole:
            return GetItemText(index.row(), index.column());
        case Qt::TextAlignmentRole:
            return AlignmentValue(ColumnAlignment(index.column()));
        default:
            return {};
    }
}

QVariant CListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (role) {
        case Qt::DisplayRole:
            return ColumnHeading(section);
        case Qt::TextAlignmentRole:
            return AlignmentValue(ColumnAlignment(section));
        default:
            return {};
    }
}

Qt::ItemFlags CListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool CListModel::setData(const QModelIndex& /*index*/, const QVariant& /*value*/, int /*role*/) {
    // The label editor may open, but nothing accepts what was typed into it.
    return false;
}
