#include "sessionview/NimbraView.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTimerEvent>
#include <algorithm>
#include <vector>

#include "AppSettings.h"
#include "ConnectionTexts.h"
#include "OracleConnection.h"
#include "dialogs/ConnectDialog.h"
#include "sessionview/SessionSortFilter.h"
#include "widgets/CommandIds.h"
#include "widgets/Commands.h"
#include "widgets/DialogUnits.h"
#include "widgets/StatusText.h"

namespace {
// A session is known by its SID and serial#; a reused SID with another serial# is another one,
// and so is the same SID on another instance of a cluster.
const std::vector<int> kSessionKey = {int(SessionColumnId::Sid), int(SessionColumnId::Serial)};
const std::vector<int> kClusterSessionKey = {
    int(SessionColumnId::Sid), int(SessionColumnId::Serial), int(SessionColumnId::Instance)};

constexpr int kContextMenu[] = {CommandId::KillSession,
                                CommandId::KillImmediately,
                                CommandId::Disconnect,
                                CommandId::CancelSql,
                                kSeparator,
                                CommandId::Properties};

// The list's seven read left-aligned, as they always have; a chosen number reads better
// right-aligned.
Qt::Alignment alignmentOf(const SessionColumn& column) {
    const bool number = column.kind == ColumnKind::Number || column.kind == ColumnKind::Duration;
    return number && int(column.id) >= kBaseColumnCount ? Qt::AlignRight : Qt::AlignLeft;
}
}  // namespace

CNimbraView::CNimbraView(QWidget* parent)
    : CListViewEx(parent),
      m_sorted(new CSessionSortFilter(m_sessions, this)),
      m_cycle(*this, AppSettings::Load().RefreshSec, AppSettings::Load().ShowSystem) {
    setModel(m_sorted);
    CreateColumns();
    for (const int id : kContextMenu) {
        m_contextMenu.push_back(id == kSeparator ? nullptr
                                                 : NewCommandAction(*FindCommand(id), this));
    }
    connect(SessionCommand(CommandId::KillSession), &QAction::triggered, this,
            &CNimbraView::OnKillSession);
    connect(SessionCommand(CommandId::KillImmediately), &QAction::triggered, this,
            &CNimbraView::OnKillImmediately);
    connect(SessionCommand(CommandId::Disconnect), &QAction::triggered, this,
            &CNimbraView::OnDisconnectSession);
    connect(SessionCommand(CommandId::CancelSql), &QAction::triggered, this,
            &CNimbraView::OnCancelSql);
    connect(SessionCommand(CommandId::Properties), &QAction::triggered, this,
            &CNimbraView::OnSessionProperties);
    connect(m_sorted, &QAbstractItemModel::rowsInserted, this, &CNimbraView::UpdateSessionCount);
    connect(m_sorted, &QAbstractItemModel::rowsRemoved, this, &CNimbraView::UpdateSessionCount);
    connect(m_sorted, &QAbstractItemModel::modelReset, this, &CNimbraView::UpdateSessionCount);
    connect(m_sorted, &QAbstractItemModel::layoutChanged, this, &CNimbraView::UpdateSessionCount);
    StartRefreshTimer();
}

// Every session column is in the model; only the seven are shown until the user chooses more.
// Widths are in pixels of the dialog font the list was designed with; they grow with today's.
void CNimbraView::CreateColumns() {
    for (const SessionColumn& column : SessionColumns()) {
        m_sessions.InsertColumn(int(column.id), QString::fromLatin1(column.heading),
                                alignmentOf(column), column.kind);
    }
    for (const SessionColumn& column : SessionColumns()) {
        header()->resizeSection(int(column.id), TemplatePixelsToPixels(column.width, font()));
        header()->setSectionHidden(int(column.id), int(column.id) >= kBaseColumnCount);
    }
    // Where a cluster or a container database brings them, they follow the serial#.
    int after = header()->visualIndex(int(SessionColumnId::Serial));
    for (SessionColumnId id : AutomaticColumns()) {
        header()->moveSection(header()->visualIndex(int(id)), ++after);
    }
    header()->setSectionsMovable(true);
    header()->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(true);
    // After a new order the focused session stays in sight, or the list shows its first rows.
    connect(header(), &QHeaderView::sortIndicatorChanged, this, [this] {
        const QModelIndex current = currentIndex();
        current.isValid() ? scrollTo(current) : scrollToTop();
    });
    header()->viewport()->installEventFilter(this);
}

QAction* CNimbraView::SessionCommand(int commandId) const {
    for (QAction* action : m_contextMenu) {
        if (action && action->data().toInt() == commandId) {
            return action;
        }
    }
    return nullptr;
}

void CNimbraView::UseRefreshSecondsUnlessSet(int seconds) {
    if (m_cycle.RefreshSeconds() == 0) {
        m_cycle.SetRefreshSeconds(seconds);
        StartRefreshTimer();
    }
}

void CNimbraView::OnRefresh() {
    RefreshList();
}

void CNimbraView::OnConnect() {
    StopRefreshTimer();
    if (IsLoggedOn()) {
        LogOff();
    }
    // The rows of the instance left behind must not be taken for the next one's.
    m_sessions.DeleteAllItems();
    CConnectDialog dialog(window());
    if (dialog.exec() == 1) {
        // The new instance's sessions at once, and its timer running again.
        RefreshList();
    }
}

void CNimbraView::timerEvent(QTimerEvent* event) {
    m_cycle.OnTimer(event->timerId());
    // The item view runs timers of its own.
    CListViewEx::timerEvent(event);
}

void CNimbraView::contextMenuEvent(QContextMenuEvent* event) {
    OnContextMenu(event->reason() == QContextMenuEvent::Keyboard ? QPoint(-1, -1)
                                                                 : event->globalPos());
}

void CNimbraView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        OnContextMenu(QPoint(-1, -1));
        event->accept();
        return;
    }
    CListViewEx::keyPressEvent(event);
}

void CNimbraView::OnContextMenu(const QPoint& screenPoint) {
    const std::optional<QPoint> position = ContextMenuPosition(screenPoint);
    if (!position) {
        return;
    }
    // The keyboard's menu is for the focused row: with nothing selected it would act on none.
    const int focused = GetNextItem(-1, Focused);
    if (screenPoint == QPoint(-1, -1) && FirstSelectedItem() < 0 && focused >= 0) {
        selectionModel()->select(model()->index(focused, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QMenu menu(window());
    // A greyed command says why in its tool tip.
    menu.setToolTipsVisible(true);
    for (QAction* action : m_contextMenu) {
        if (action) {
            menu.addAction(action);
        } else {
            menu.addSeparator();
        }
    }
    menu.exec(*position);
}

// The mouse's menu belongs to the row under it (the press has selected that row); the
// keyboard's opens just under the focused row, or the upper selected one.
std::optional<QPoint> CNimbraView::ContextMenuPosition(const QPoint& screenPoint) {
    if (screenPoint != QPoint(-1, -1)) {
        if (HitTest(viewport()->mapFromGlobal(screenPoint)) < 0) {
            return std::nullopt;
        }
        return screenPoint;
    }
    int row = GetNextItem(-1, Focused);
    if (row < 0) {
        row = FirstSelectedItem();
    }
    if (row < 0) {
        return std::nullopt;
    }
    const int label = ShownColumns().front();
    const QModelIndex index = model()->index(row, label);
    scrollTo(index);
    const QRect rect = visualRect(index);
    return viewport()->mapToGlobal(QPoint(columnViewportPosition(label), rect.bottom() + 1));
}

// Each session becomes a row with a text for every session column, empty for those not read.
void CNimbraView::ShowSessions(SessionList sessions) {
    const std::string none;
    std::vector<const std::string*> cellOf(SessionColumns().size(), &none);
    std::vector<CListModel::Row> texts(sessions.rows.size());
    for (std::size_t i = 0; i < sessions.rows.size(); ++i) {
        const std::vector<std::string>& values = sessions.rows[i].values;
        std::size_t bytes = cellOf.size();
        for (std::size_t p = 0; p < sessions.columns.size() && p < values.size(); ++p) {
            cellOf[std::size_t(sessions.columns[p])] = &values[p];
            bytes += values[p].size();
        }
        texts[i].Reserve(bytes);
        for (const std::string* value : cellOf) {
            texts[i].Append(*value);
        }
    }
    const bool clustered = std::find(sessions.columns.begin(), sessions.columns.end(),
                                     SessionColumnId::Instance) != sessions.columns.end();
    KeepPlace([&] {
        return m_sessions.ReplaceRows(std::move(texts),
                                      clustered ? kClusterSessionKey : kSessionKey);
    });
    HideUnread(sessions.columns);
    ShowAutomatic(sessions.columns);
    MarkBlockers(sessions.columns);
    m_bLongOpsRead = std::find(sessions.columns.begin(), sessions.columns.end(),
                               SessionColumnId::Progress) != sessions.columns.end();
    m_longOperations = std::move(sessions.longOperations);
    UpdateSessionCount();
    emit sessionsShown();
}

std::vector<SessionRow> CNimbraView::SelectedSessions() const {
    if (m_commandTargets) {
        return *m_commandTargets;
    }
    std::vector<SessionRow> selected;
    for (int item : SelectedItems()) {
        selected.push_back(SessionAt(m_sorted->mapToSource(m_sorted->index(item, 0)).row()));
    }
    return selected;
}

SessionRow CNimbraView::SessionAt(int row) const {
    SessionRow session;
    for (int column = 0; column < kBaseColumnCount; ++column) {
        session.values.push_back(m_sessions.GetItemText(row, column).toStdString());
    }
    session.instance = m_sessions.GetItemText(row, int(SessionColumnId::Instance)).toStdString();
    return session;
}

int CNimbraView::SetTimer(int milliseconds) {
    return startTimer(milliseconds);
}

void CNimbraView::KillTimer(int id) {
    killTimer(id);
}

void CNimbraView::SetStatusText(const QString& text) {
    SetStatusPaneText(this, text);
}

// The cycle's count says how many were read; the pane also says how many of them are shown.
void CNimbraView::ShowSessionCount(const QString& text) {
    m_offlineCount = IsLoggedOn() ? QString() : text;
    UpdateSessionCount();
}

void CNimbraView::UpdateSessionCount() {
    if (!m_offlineCount.isEmpty()) {
        SetSessionPaneText(this, m_offlineCount);
        return;
    }
    if (!IsLoggedOn()) {
        return;
    }
    const std::size_t listed = std::size_t(m_sessions.GetItemCount());
    SetSessionPaneText(
        this,
        m_sorted->Filters()
            ? QStringLiteral("%1 of %2").arg(m_sorted->rowCount()).arg(SessionCountText(listed))
            : SessionCountText(listed));
}

void CNimbraView::BeginWaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CNimbraView::EndWaitCursor() {
    QApplication::restoreOverrideCursor();
}
