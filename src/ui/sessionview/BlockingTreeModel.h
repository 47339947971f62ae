#pragma once
// The blocking chains as a tree: each root blocker, under it the sessions waiting on it, and
// theirs in turn, with what they wait on and for how long.

#include <QAbstractItemModel>
#include <string>
#include <vector>

#include "BlockingChains.h"
#include "SessionRecords.h"

class CBlockingTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Column { User, Sid, Serial, Status, Event, SecondsInWait, ColumnCount };

    explicit CBlockingTreeModel(QObject* parent = nullptr);

    // Replaces the tree by these chains.
    void SetChains(const std::vector<BlockingNode>& roots);
    // The session of an item; the serial is empty for a blocker not listed.
    SessionKey KeyOf(const QModelIndex& index) const;
    // The item of a session, or none.
    QModelIndex Find(const SessionKey& key) const;
    // How many items the tree holds.
    int Count() const { return int(m_items.size()); }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Item {
        BlockingNode node;  // without its waiters, which are items of their own
        int parent;         // -1 for a root
        int row;            // among its parent's children
        std::vector<int> children;
    };
    void Add(const BlockingNode& node, int parent, int row);
    const std::vector<int>& ChildrenOf(const QModelIndex& parent) const;

    std::vector<Item> m_items;
    std::vector<int> m_roots;
};
