#pragma once
// The session list: seven columns of sessions, refreshed by timer and by command, with a context
// menu for the selected sessions. It receives every command of the menus, toolbar and keys.

#include <optional>
#include <vector>

#include "RefreshCycle.h"
#include "SessionListPort.h"
#include "SessionRecords.h"
#include "list/ListViewEx.h"

class QAction;

class CNimbraView : public CListViewEx, public SessionListPort {
    Q_OBJECT
public:
    // Reads "ShowSystem" and "RefreshSec", inserts the columns and starts the refresh timer.
    explicit CNimbraView(QWidget* parent = nullptr);

    void RefreshList() { m_cycle.RefreshList(); }
    void StartRefreshTimer() { m_cycle.StartRefreshTimer(); }
    void StopRefreshTimer() { m_cycle.StopRefreshTimer(); }
    int RefreshSeconds() const { return m_cycle.RefreshSeconds(); }
    bool ShowSystem() const { return m_cycle.ShowSystem(); }
    int TimerId() const { return m_cycle.TimerId(); }
    // For this run only: the interval the demo uses when none is stored.
    void UseRefreshSecondsUnlessSet(int seconds);
    const SessionDetails& Details() const { return m_details; }
    // The action of a command on the selected sessions (Kill session, Properties), null for any
    // other: the context menu shows these, and the main window's menus share them.
    QAction* SessionCommand(int commandId) const;

public slots:
    void OnRefresh();
    void OnOptions();
    void OnKillSession();
    void OnSessionProperties();
    void OnFilePrint();
    void OnConnect();

protected:
    void timerEvent(QTimerEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Shift+F10 asks for the context menu as the Menu key does.
    void keyPressEvent(QKeyEvent* event) override;
    // screenPoint (-1, -1) is a request from the keyboard, which acts on the focused row when
    // none is selected.
    void OnContextMenu(const QPoint& screenPoint);
    // Where the menu goes: the point itself, or just under the focused row for (-1, -1); null
    // when a keyboard request finds no row to open it at.
    std::optional<QPoint> ContextMenuPosition(const QPoint& screenPoint);
    int FirstSelectedItem() const { return GetNextItem(-1, Selected); }

    // SessionListPort
    void ShowSessions(std::vector<SessionRow> rows) override;
    QString GetItemText(int item, int subItem) const override;
    std::vector<int> SelectedItems() const override;
    int SetTimer(int milliseconds) override;
    void KillTimer(int id) override;
    void SetStatusText(const QString& text) override;
    void ShowSessionCount(const QString& text) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

private:
    SessionDetails m_details;
    RefreshCycle m_cycle;
    std::vector<QAction*> m_contextMenu;  // null for a separator
};
