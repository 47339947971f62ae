#pragma once
// The rows of a report-style list: texts only, one per column, kept as the UTF-8 bytes they
// arrived in. It offers the list-control operations Nimbra uses, and a replacement of all rows
// that changes only what changed, so that selection, focus and scrolling follow their rows.

#include <QAbstractTableModel>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "SessionColumns.h"
#include "SortKey.h"

// One row's texts, column 0 first, UTF-8, kept in one block: a row costs one allocation and
// compares in one pass, which keeps a refresh of thousands of rows cheap.
class CListRow {
public:
    CListRow() = default;
    CListRow(std::initializer_list<std::string_view> texts);

    std::size_t Size() const { return m_size; }
    // Empty past the last text.
    std::string_view Text(std::size_t column) const;
    // A text ends at its first NUL, as the texts of a list control do.
    void Append(std::string_view text);
    // A column past the last is added, with empty texts before it.
    void SetText(std::size_t column, std::string_view text);
    void InsertText(std::size_t column, std::string_view text);
    // Adds empty texts or drops the last ones.
    void Resize(std::size_t size);
    void Reserve(std::size_t bytes) { m_texts.reserve(bytes); }
    // How the text of column sorts; made once, until a text of the row changes.
    const SortKey& SortKeyOf(std::size_t column, ColumnKind kind, TextKeys& texts) const;

    // Equal texts; the sort keys follow from them.
    bool operator==(const CListRow& other) const {
        return m_size == other.m_size && m_texts == other.m_texts;
    }

private:
    // Where the text of column starts in m_texts.
    std::size_t Offset(std::size_t column) const;

    std::string m_texts;  // every text followed by a NUL
    std::size_t m_size = 0;
    // Only the columns a sort has needed: a row that stays keeps them across refreshes.
    mutable std::vector<std::pair<std::size_t, SortKey>> m_sortKeys;
};

class CListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using Row = CListRow;

    // A row's key as ReplaceRows compares it, as a QString.
    static constexpr int KeyRole = Qt::UserRole + 1;
    // A cell's value as it sorts: a number (double) for numbers and durations, a QDateTime for
    // dates, the text for texts; none for an empty cell.
    static constexpr int SortRole = Qt::UserRole + 2;
    // How much of a progress cell's work is done, from 0 to 1; none for other cells.
    static constexpr int ProgressRole = Qt::UserRole + 3;

    explicit CListModel(QObject* parent = nullptr);

    // Columns: heading, alignment (Qt::AlignLeft, AlignRight or AlignHCenter) and how its
    // values sort and show.
    int InsertColumn(int position, const QString& heading, Qt::Alignment alignment,
                     ColumnKind kind = ColumnKind::Text);
    QString ColumnHeading(int column) const;
    Qt::Alignment ColumnAlignment(int column) const;
    ColumnKind ColumnKindOf(int column) const;
    // How two rows compare in a column, as SortRole orders them: less than 0 when a comes first.
    int CompareCells(int a, int b, int column) const;
    // How a cell sorts; kept with its row until a text of the row changes.
    const SortKey& SortKeyAt(int item, int column) const;

    // Inserts a row whose column 0 holds text and the other columns are empty; returns its
    // index, or -1 when index is out of range.
    int InsertItem(int index, const QString& text);
    bool SetItemText(int item, int subItem, const QString& text);
    // Empty for a row or column that does not exist.
    QString GetItemText(int item, int subItem) const;
    // The text as the list shows it: tabs and line breaks read as blanks.
    QString DisplayText(int item, int subItem) const;
    void DeleteAllItems();
    int GetItemCount() const;

    // Makes rows the list's rows. A row whose key (its texts in keyColumns) was listed before
    // is updated where it stands, moved if it must; other rows are inserted and removed. Keys
    // must be unique. Returns false when it reset the model instead: too many rows moved, or a
    // key was repeated. From then on KeyRole gives the rows' keys by keyColumns.
    bool ReplaceRows(std::vector<Row> rows, const std::vector<int>& keyColumns);
    // The key of a row as ReplaceRows compares it; empty for a row that does not exist.
    std::string RowKey(int item, const std::vector<int>& keyColumns) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Column {
        QString heading;
        Qt::Alignment alignment;
        ColumnKind kind;
    };
    friend class RowSync;
    std::size_t RowWidth() const;
    QVariant SortValue(int item, int column) const;
    QVariant ProgressValue(int item, int column) const;
    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
    std::vector<int> m_keyColumns;
    mutable TextKeys m_textKeys;
};
