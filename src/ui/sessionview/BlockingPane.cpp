#include "sessionview/BlockingPane.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include "BlockingChains.h"
#include "OracleConnection.h"
#include "list/ListViewEx.h"
#include "sessionview/BlockingTreeModel.h"
#include "sessionview/NimbraView.h"

namespace {
using Id = SessionColumnId;

std::vector<WaitingSession> waitingSessions(const CListModel& sessions) {
    std::vector<WaitingSession> out;
    const auto text = [&sessions](int row, Id id) {
        return sessions.GetItemText(row, int(id)).toStdString();
    };
    for (int row = 0; row < sessions.GetItemCount(); ++row) {
        out.push_back({text(row, Id::Sid), text(row, Id::Serial), text(row, Id::Username),
                       text(row, Id::Status), text(row, Id::Event), text(row, Id::SecondsInWait),
                       text(row, Id::BlockingSession), text(row, Id::Instance),
                       text(row, Id::BlockingInstance)});
    }
    return out;
}
}  // namespace

CBlockingPane::CBlockingPane(CNimbraView& view, std::vector<QAction*> commands, QWidget* parent)
    : QWidget(parent),
      m_view(view),
      m_commands(std::move(commands)),
      m_note(new QLabel(this)),
      m_tree(new CListViewEx(this)),
      m_model(new CBlockingTreeModel(this)) {
    setObjectName(QStringLiteral("blockingPane"));
    m_note->setObjectName(QStringLiteral("blockingNote"));
    m_note->setWordWrap(true);
    m_tree->setObjectName(QStringLiteral("blockingTree"));
    m_tree->setModel(m_model);
    m_tree->setRootIsDecorated(true);
    m_tree->setItemsExpandable(true);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_note);
    layout->addWidget(m_tree, 1);
    connect(&m_view, &CNimbraView::sessionsShown, this, &CBlockingPane::Rebuild);
    connect(m_tree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CBlockingPane::SelectInList);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &CBlockingPane::OnContextMenu);
    Rebuild();
}

// The selection and the open branches come back after the tree is built anew.
void CBlockingPane::Rebuild() {
    std::vector<SessionKey> selected;
    for (const QModelIndex& index : m_tree->selectionModel()->selectedRows()) {
        selected.push_back(m_model->KeyOf(index));
    }
    const bool read = m_view.BlockingRead();
    m_model->SetChains(read ? BlockingChains(waitingSessions(*m_view.Sessions()))
                            : std::vector<BlockingNode>());
    m_tree->expandAll();
    const QSignalBlocker quiet(m_tree->selectionModel());
    for (const auto& key : selected) {
        if (const QModelIndex index = m_model->Find(key); index.isValid()) {
            m_tree->selectionModel()->select(
                index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    if (!IsLoggedOn()) {
        m_note->setText(QStringLiteral("Not connected."));
    } else if (!read) {
        m_note->setText(
            QStringLiteral("Who blocks whom is not available: this database has no "
                           "BLOCKING_SESSION column in v$session."));
    } else if (m_model->Count() == 0) {
        m_note->setText(QStringLiteral("No session blocks another."));
    }
    m_note->setVisible(!IsLoggedOn() || !read || m_model->Count() == 0);
}

void CBlockingPane::SelectInList() {
    std::vector<SessionKey> keys;
    for (const QModelIndex& index : m_tree->selectionModel()->selectedRows()) {
        keys.push_back(m_model->KeyOf(index));
    }
    m_view.SelectSessions(keys);
}

void CBlockingPane::OnContextMenu(const QPoint& point) {
    if (!m_tree->indexAt(point).isValid()) {
        return;
    }
    std::vector<SessionRow> targets;
    for (const QModelIndex& index : m_tree->selectionModel()->selectedRows()) {
        if (std::optional<SessionRow> session = m_view.ListedSession(m_model->KeyOf(index))) {
            targets.push_back(std::move(*session));
        }
    }
    if (targets.empty()) {
        return;
    }
    const CNimbraView::CommandTargets acting(m_view, std::move(targets));
    emit commandsWanted();
    QMenu menu(window());
    menu.setToolTipsVisible(true);
    for (QAction* action : m_commands) {
        if (action) {
            menu.addAction(action);
        } else {
            menu.addSeparator();
        }
    }
    menu.exec(m_tree->viewport()->mapToGlobal(point));
    emit commandsDone();
}
