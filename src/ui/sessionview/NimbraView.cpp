#include "sessionview/NimbraView.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTimerEvent>
#include <vector>

#include "AppSettings.h"
#include "OracleConnection.h"
#include "dialogs/ConnectDialog.h"
#include "widgets/CommandIds.h"
#include "widgets/Commands.h"
#include "widgets/DialogUnits.h"
#include "widgets/StatusText.h"

namespace {
struct ColumnDef {
    const char* heading;
    int width;
};
// Widths in pixels of the dialog font the list was designed with; they grow with today's font.
constexpr ColumnDef kColumns[] = {{"Username", 100}, {"Sid", 50},      {"Serial", 50},
                                  {"Status", 80},    {"OS User", 100}, {"Machine", 200},
                                  {"Program", 300}};
constexpr std::size_t kColumnCount = std::size(kColumns);
// A session is known by its SID and serial#; a reused SID with another serial# is another one.
const std::vector<int> kSessionKey = {1, 2};

constexpr int kContextMenu[] = {CommandId::KillSession, kSeparator, CommandId::Properties};
}  // namespace

CNimbraView::CNimbraView(QWidget* parent)
    : CListViewEx(parent),
      m_cycle(*this, AppSettings::Load().RefreshSec, AppSettings::Load().ShowSystem) {
    int position = 0;
    for (const ColumnDef& column : kColumns) {
        InsertColumn(position++, QString::fromLatin1(column.heading), Qt::AlignLeft,
                     TemplatePixelsToPixels(column.width, font()));
    }
    for (const int id : kContextMenu) {
        m_contextMenu.push_back(id == kSeparator ? nullptr
                                                 : NewCommandAction(*FindCommand(id), this));
    }
    connect(SessionCommand(CommandId::KillSession), &QAction::triggered, this,
            &CNimbraView::OnKillSession);
    connect(SessionCommand(CommandId::Properties), &QAction::triggered, this,
            &CNimbraView::OnSessionProperties);
    StartRefreshTimer();
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
    ListModel()->DeleteAllItems();
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
        selectionModel()->select(ListModel()->index(focused, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QMenu menu(window());
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
    const QModelIndex index = ListModel()->index(row, 0);
    scrollTo(index);
    const QRect rect = visualRect(index);
    return viewport()->mapToGlobal(QPoint(columnViewportPosition(0), rect.bottom() + 1));
}

void CNimbraView::ShowSessions(std::vector<SessionRow> rows) {
    std::vector<CListModel::Row> texts(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SessionRow& row = rows[i];
        CListModel::Row& text = texts[i];
        text.Reserve(row.username.size() + row.sid.size() + row.serial.size() + row.status.size() +
                     row.osUser.size() + row.machine.size() + row.program.size() + kColumnCount);
        for (const std::string* field : {&row.username, &row.sid, &row.serial, &row.status,
                                         &row.osUser, &row.machine, &row.program}) {
            text.Append(*field);
        }
    }
    ReplaceItems(std::move(texts), kSessionKey);
}

QString CNimbraView::GetItemText(int item, int subItem) const {
    return CListViewEx::GetItemText(item, subItem);
}

std::vector<int> CNimbraView::SelectedItems() const {
    return CListViewEx::SelectedItems();
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

void CNimbraView::ShowSessionCount(const QString& text) {
    SetSessionPaneText(this, text);
}

void CNimbraView::BeginWaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CNimbraView::EndWaitCursor() {
    QApplication::restoreOverrideCursor();
}
