#include "list/ListModel.h"

#include <QDateTime>
#include <algorithm>

#include "LongOperations.h"

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

CListRow::CListRow(std::initializer_list<std::string_view> texts) {
    for (std::string_view text : texts) {
        Append(text);
    }
}

std::size_t CListRow::Offset(std::size_t column) const {
    std::size_t offset = 0;
    for (std::size_t i = 0; i < column; ++i) {
        offset = m_texts.find('\0', offset) + 1;
    }
    return offset;
}

std::string_view CListRow::Text(std::size_t column) const {
    if (column >= m_size) {
        return {};
    }
    const std::size_t start = Offset(column);
    return std::string_view(m_texts).substr(start, m_texts.find('\0', start) - start);
}

const SortKey& CListRow::SortKeyOf(std::size_t column, ColumnKind kind, TextKeys& texts) const {
    for (const auto& [at, key] : m_sortKeys) {
        if (at == column) {
            return key;
        }
    }
    // A sort column and the two ties behind it.
    constexpr std::size_t kUsualKeys = 3;
    m_sortKeys.reserve(kUsualKeys);
    m_sortKeys.emplace_back(column, SortKey(kind, Text(column), &texts));
    return m_sortKeys.back().second;
}

void CListRow::Append(std::string_view text) {
    m_sortKeys.clear();
    m_texts.append(text.substr(0, text.find('\0')));
    m_texts.push_back('\0');
    ++m_size;
}

void CListRow::SetText(std::size_t column, std::string_view text) {
    m_sortKeys.clear();
    if (column >= m_size) {
        Resize(column);
        Append(text);
        return;
    }
    const std::size_t start = Offset(column);
    m_texts.replace(start, m_texts.find('\0', start) - start, text.substr(0, text.find('\0')));
}

void CListRow::InsertText(std::size_t column, std::string_view text) {
    m_sortKeys.clear();
    if (column >= m_size) {
        SetText(column, text);
        return;
    }
    const std::string_view kept = text.substr(0, text.find('\0'));
    const std::size_t start = Offset(column);
    m_texts.insert(start, 1, '\0');
    m_texts.insert(start, kept.data(), kept.size());
    ++m_size;
}

void CListRow::Resize(std::size_t size) {
    m_sortKeys.clear();
    if (size < m_size) {
        m_texts.resize(Offset(size));
        m_size = size;
    }
    while (m_size < size) {
        Append({});
    }
}

CListModel::CListModel(QObject* parent) : QAbstractTableModel(parent) {}

std::size_t CListModel::RowWidth() const {
    return std::max<std::size_t>(1, m_columns.size());
}

int CListModel::InsertColumn(int position, const QString& heading, Qt::Alignment alignment,
                             ColumnKind kind) {
    if (position < 0) {
        return -1;
    }
    const int column = std::min(position, columnCount());
    beginInsertColumns({}, column, column);
    m_columns.insert(m_columns.begin() + column, Column{heading, Justification(alignment), kind});
    // A row keeps its item text even while the list has no column to show it in.
    if (m_columns.size() > 1) {
        for (Row& row : m_rows) {
            row.InsertText(std::size_t(column), {});
        }
    }
    endInsertColumns();
    return column;
}

ColumnKind CListModel::ColumnKindOf(int column) const {
    return column >= 0 && column < columnCount() ? m_columns[column].kind : ColumnKind::Text;
}

int CListModel::CompareCells(int a, int b, int column) const {
    return SortKeyAt(a, column).Compare(SortKeyAt(b, column));
}

const SortKey& CListModel::SortKeyAt(int item, int column) const {
    const auto at = std::size_t(column);
    return m_rows[std::size_t(item)].SortKeyOf(at, m_columns[at].kind, m_textKeys);
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
    Row row;
    row.Append(text.toStdString());
    row.Resize(RowWidth());
    m_rows.insert(m_rows.begin() + index, std::move(row));
    endInsertRows();
    return index;
}

bool CListModel::SetItemText(int item, int subItem, const QString& text) {
    if (item < 0 || item >= GetItemCount() || subItem < 0 ||
        std::size_t(subItem) >= m_rows[item].Size()) {
        return false;
    }
    m_rows[item].SetText(std::size_t(subItem), text.toStdString());
    if (subItem < columnCount()) {
        const QModelIndex cell = index(item, subItem);
        emit dataChanged(cell, cell, {Qt::DisplayRole});
    }
    return true;
}

QString CListModel::GetItemText(int item, int subItem) const {
    if (item < 0 || item >= GetItemCount() || subItem < 0) {
        return {};
    }
    const std::string_view text = m_rows[item].Text(std::size_t(subItem));
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString CListModel::DisplayText(int item, int subItem) const {
    if (ColumnKindOf(subItem) == ColumnKind::Duration) {
        return QString::fromStdString(FormatDuration(GetItemText(item, subItem).toStdString()));
    }
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
        if (column >= 0) {
            key += m_rows[item].Text(std::size_t(column));
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
        case Qt::TextAlignmentRole:
            return AlignmentValue(ColumnAlignment(index.column()));
        case KeyRole:
            return QString::fromStdString(RowKey(index.row(), m_keyColumns));
        case SortRole:
            return SortValue(index.row(), index.column());
        case ProgressRole:
            return ProgressValue(index.row(), index.column());
        default:
            return {};
    }
}

QVariant CListModel::SortValue(int item, int column) const {
    const QString text = GetItemText(item, column);
    if (text.isEmpty()) {
        return {};
    }
    switch (ColumnKindOf(column)) {
        case ColumnKind::Text:
            return DisplayText(item, column);
        case ColumnKind::Date:
            return QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        case ColumnKind::Progress:
            return QVariant(double(ProgressPercent(text.toStdString()).value_or(0)));
        case ColumnKind::Number:
        case ColumnKind::Duration:
            break;
    }
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok ? QVariant(number) : QVariant(text);
}

QVariant CListModel::ProgressValue(int item, int column) const {
    if (ColumnKindOf(column) != ColumnKind::Progress) {
        return {};
    }
    const std::optional<int> percent = ProgressPercent(GetItemText(item, column).toStdString());
    return percent ? QVariant(*percent / 100.0) : QVariant();
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
