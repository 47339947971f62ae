#pragma once
// The rows of a report-style list: texts only, one per column, kept compactly. It offers the
// list-control operations Nimbra uses; a bulk rebuild announces itself once, not per row.

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

class CListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CListModel(QObject* parent = nullptr);

    // Columns: heading and alignment (Qt::AlignLeft, AlignRight or AlignHCenter).
    int InsertColumn(int position, const QString& heading, Qt::Alignment alignment);
    QString ColumnHeading(int column) const;
    Qt::Alignment ColumnAlignment(int column) const;

    // Inserts a row whose column 0 holds text and the other columns are empty; returns its
    // index, or -1 when index is out of range.
    int InsertItem(int index, const QString& text);
    bool SetItemText(int item, int subItem, const QString& text);
    // Empty for a row or column that does not exist.
    QString GetItemText(int item, int subItem) const;
    void DeleteAllItems();
    int GetItemCount() const;

    // Between these, inserts and text changes are announced as one reset at the end.
    void BeginRebuild();
    void EndRebuild();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    struct Column {
        QString heading;
        Qt::Alignment alignment;
    };
    std::vector<Column> m_columns;
    std::vector<QStringList> m_rows;
    bool m_rebuilding = false;
};
