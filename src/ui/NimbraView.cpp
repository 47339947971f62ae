#include "NimbraView.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimerEvent>
#include <memory>
#include <vector>

#include "CommandIds.h"
#include "Commands.h"
#include "ConnectDialog.h"
#include "OracleConnection.h"
#include "SettingsStore.h"
#include "StatusText.h"

namespace {
struct ColumnDef {
    const char* heading;
    int width;
};
constexpr ColumnDef kColumns[] = {{"Username", 100}, {"Sid", 50},      {"Serial", 50},
                                  {"Status", 80},    {"OS User", 100}, {"Machine", 200},
                                  {"Program", 300}};

constexpr int kContextMenu[] = {CommandId::KillSession, kSeparator, CommandId::Properties};

int OptionsValue(const char* entry) {
    return SettingsStore::GetProfileInt(QStringLiteral("Options"), QString::fromLatin1(entry), 0);
}
}  // namespace

CNimbraView::CNimbraView(QWidget* parent)
    : CListViewEx(parent),
      m_cycle(*this, OptionsValue("RefreshSec"), OptionsValue("ShowSystem") != 0) {
    int position = 0;
    for (const ColumnDef& column : kColumns) {
        InsertColumn(position++, QString::fromLatin1(column.heading), Qt::AlignLeft, column.width);
    }
    StartRefreshTimer();
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
    CConnectDialog dialog(window());
    dialog.exec();
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

void CNimbraView::OnContextMenu(const QPoint& screenPoint) {
    // A request from the keyboard has no point to test: it offers the menu whenever rows are
    // listed, since the commands act on the selected row anyway.
    const bool keyboard = screenPoint == QPoint(-1, -1);
    const bool overRow = keyboard ? ListModel()->GetItemCount() > 0
                                  : HitTest(viewport()->mapFromGlobal(screenPoint)) >= 0;
    if (!overRow) {
        return;
    }
    QMenu menu(window());
    // Owned by the main window while the menu is up, so that their prompts reach its status bar.
    std::vector<std::unique_ptr<QAction>> commands;
    for (const int id : kContextMenu) {
        if (id == kSeparator) {
            menu.addSeparator();
            continue;
        }
        const CommandInfo* command = FindCommand(id);
        auto action = std::make_unique<QAction>(command->text, window());
        action->setStatusTip(StatusPrompt(command->prompt));
        action->setData(id);
        menu.addAction(action.get());
        commands.push_back(std::move(action));
    }
    const QAction* chosen = menu.exec(ContextMenuPosition(screenPoint));
    if (!chosen) {
        return;
    }
    switch (chosen->data().toInt()) {
        case CommandId::KillSession:
            OnKillSession();
            break;
        case CommandId::Properties:
            OnSessionProperties();
            break;
    }
}

QPoint CNimbraView::ContextMenuPosition(const QPoint& screenPoint) const {
    if (screenPoint != QPoint(-1, -1)) {
        return screenPoint;
    }
    return mapToGlobal(contentsRect().topLeft()) + QPoint(5, 5);
}

void CNimbraView::DeleteAllItems() {
    ListModel()->DeleteAllItems();
    scrollToTop();
}

int CNimbraView::InsertItem(int index, const QString& text) {
    return ListModel()->InsertItem(index, text);
}

void CNimbraView::SetItemText(int item, int subItem, const QString& text) {
    ListModel()->SetItemText(item, subItem, text);
}

QString CNimbraView::GetItemText(int item, int subItem) const {
    return CListViewEx::GetItemText(item, subItem);
}

int CNimbraView::FirstSelectedItem() const {
    return GetNextItem(-1, Selected);
}

void CNimbraView::BeginListUpdate() {
    ListModel()->BeginRebuild();
}

void CNimbraView::EndListUpdate() {
    ListModel()->EndRebuild();
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

void CNimbraView::BeginWaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CNimbraView::EndWaitCursor() {
    QApplication::restoreOverrideCursor();
}
