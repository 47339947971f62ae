#include "sessionview/BlockingTreeModel.h"

namespace {
const char* const kHeadings[] = {"Username", "Sid", "Serial", "Status", "Event", "Seconds in Wait"};
}

CBlockingTreeModel::CBlockingTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void CBlockingTreeModel::SetChains(const std::vector<BlockingNode>& roots) {
    beginResetModel();
    m_items.clear();
    m_roots.clear();
    for (std::size_t row = 0; row < roots.size(); ++row) {
        m_roots.push_back(int(m_items.size()));
        Add(roots[row], -1, int(row));
    }
    endResetModel();
}

void CBlockingTreeModel::Add(const BlockingNode& node, int parent, int row) {
    const int at = int(m_items.size());
    BlockingNode alone = node;
    alone.waiters.clear();
    m_items.push_back({std::move(alone), parent, row, {}});
    for (std::size_t i = 0; i < node.waiters.size(); ++i) {
        m_items[std::size_t(at)].children.push_back(int(m_items.size()));
        Add(node.waiters[i], at, int(i));
    }
}

const std::vector<int>& CBlockingTreeModel::ChildrenOf(const QModelIndex& parent) const {
    return parent.isValid() ? m_items[std::size_t(parent.internalId())].children : m_roots;
}

SessionKey CBlockingTreeModel::KeyOf(const QModelIndex& index) const {
    if (!index.isValid()) {
        return {};
    }
    const WaitingSession& s = m_items[std::size_t(index.internalId())].node.session;
    return {s.sid, s.serial, s.instance};
}

QModelIndex CBlockingTreeModel::Find(const SessionKey& key) const {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const WaitingSession& s = m_items[i].node.session;
        if (SessionKey{s.sid, s.serial, s.instance} == key) {
            return createIndex(m_items[i].row, 0, quintptr(i));
        }
    }
    return {};
}

QModelIndex CBlockingTreeModel::index(int row, int column, const QModelIndex& parent) const {
    const std::vector<int>& children = ChildrenOf(parent);
    if (row < 0 || row >= int(children.size()) || column < 0 || column >= ColumnCount) {
        return {};
    }
    return createIndex(row, column, quintptr(children[std::size_t(row)]));
}

QModelIndex CBlockingTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) {
        return {};
    }
    const int parent = m_items[std::size_t(child.internalId())].parent;
    return parent < 0 ? QModelIndex()
                      : createIndex(m_items[std::size_t(parent)].row, 0, quintptr(parent));
}

int CBlockingTreeModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() && parent.column() != 0 ? 0 : int(ChildrenOf(parent).size());
}

int CBlockingTreeModel::columnCount(const QModelIndex&) const {
    return ColumnCount;
}

QVariant CBlockingTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const Item& item = m_items[std::size_t(index.internalId())];
    const WaitingSession& s = item.node.session;
    if (role == Qt::ToolTipRole && index.column() == User) {
        if (!item.node.listed) {
            return QStringLiteral(
                       "SID %1 is not in the list: a background process, or a session "
                       "the list leaves out")
                .arg(QString::fromStdString(s.sid));
        }
        if (item.node.inCycle) {
            return QStringLiteral(
                "waits on the sessions waiting on it: a deadlock the database "
                "has not broken yet");
        }
        return {};
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case User:
            return !item.node.listed
                       ? QStringLiteral("(not listed)")
                       : QString::fromStdString(s.username) +
                             (item.node.inCycle ? QStringLiteral(" (deadlock)") : QString());
        case Sid:
            // On a cluster the instance goes with the SID: a chain may cross instances.
            return s.instance.empty()
                       ? QString::fromStdString(s.sid)
                       : QStringLiteral("%1 @%2").arg(QString::fromStdString(s.sid),
                                                      QString::fromStdString(s.instance));
        case Serial:
            return QString::fromStdString(s.serial);
        case Status:
            return QString::fromStdString(s.status);
        case Event:
            return QString::fromStdString(s.event);
        case SecondsInWait:
            return QString::fromStdString(s.secondsInWait);
        default:
            return {};
    }
}

QVariant CBlockingTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < ColumnCount) {
        return QString::fromLatin1(kHeadings[section]);
    }
    return QAbstractItemModel::headerData(section, orientation, role);
}
