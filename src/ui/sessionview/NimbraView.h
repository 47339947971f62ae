#pragma once
// The session list: the sessions of the instance in the columns the user chose, sorted and
// filtered as asked, refreshed by timer and by command, with a context menu for the selected
// sessions. It receives every command of the menus, toolbar and keys on the sessions.

#include <functional>
#include <optional>
#include <vector>

#include "EndSession.h"
#include "RefreshCycle.h"
#include "SessionListPort.h"
#include "SessionRecords.h"
#include "list/ListModel.h"
#include "list/ListViewEx.h"

class CPropsSheet;
class CSessionSortFilter;
class QAction;
class SessionFilter;
struct LayoutSettings;
struct SessionKey;

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
    // The commands of the list's menu, in its order, null for a separator.
    const std::vector<QAction*>& ContextMenuCommands() const { return m_contextMenu; }

    // The sessions as read, in the statement's order, one column per session column.
    CListModel* Sessions() { return &m_sessions; }
    const CListModel* Sessions() const { return &m_sessions; }
    CSessionSortFilter* SortFilter() const { return m_sorted; }

    // The columns shown, as the header orders them; at least one.
    std::vector<SessionColumnId> ShownColumnIds() const;
    // Shows exactly these columns in this order, reading any new one at once.
    void ShowColumns(const std::vector<SessionColumnId>& shown);
    void SetFilter(const SessionFilter& filter);
    void SetHideIdle(bool hide);
    // Back to the statement's order, without a sort column.
    void UseServerOrder();
    // What is shown, as display texts: a heading line, then the rows that pass the filter in
    // their order (only the selected ones when selectedOnly), in the shown columns.
    std::vector<QStringList> ShownTable(bool selectedOnly) const;

    // Whether the list also reads who blocks whom (for the blocking tree), marking the sessions
    // that block others; reading starts at once.
    void SetBlockingWanted(bool wanted);
    bool BlockingWanted() const { return m_bBlockingWanted; }
    // Whether the last refresh could read who blocks whom.
    bool BlockingRead() const { return m_bBlockingRead; }
    // Whether the list also reads every session's long operations (for the properties sheet's
    // page) while the Progress column is hidden; reading starts at once.
    void SetLongOperationsWanted(bool wanted);
    bool LongOperationsWanted() const { return m_bLongOpsWanted; }
    // What the last refresh read of the long operations; whether it could read them at all.
    const std::vector<LongOperation>& LongOperations() const { return m_longOperations; }
    bool LongOperationsRead() const { return m_bLongOpsRead; }
    // Selects exactly these sessions where the list shows them.
    void SelectSessions(const std::vector<SessionKey>& keys);
    // The commands act on these sessions while it lives, instead of the list's selection: the
    // blocking tree's menu acts on the tree's.
    class CommandTargets {
    public:
        CommandTargets(CNimbraView& view, std::vector<SessionRow> sessions);
        ~CommandTargets();
        CommandTargets(const CommandTargets&) = delete;
        CommandTargets& operator=(const CommandTargets&) = delete;

    private:
        CNimbraView& m_view;
    };
    // The session's values of the seven columns, as the list last read them; none when it is not
    // listed any more.
    std::optional<SessionRow> ListedSession(const SessionKey& key) const;

    // Where Export asks for its file: a save-file dialog unless replaced (tests answer it).
    static void SetExportFileChooser(
        std::function<QString(QWidget* parent, const QString& offered)> chooser);

    // The header's layout (columns, their order and widths, the sort) and the idle switch, as
    // remembered between runs, and put back.
    void SaveLayout(LayoutSettings& layout) const;
    void RestoreLayout(const LayoutSettings& layout);

signals:
    // The selection changed: the commands that need a selected session follow it.
    void selectedSessionsChanged();
    // A refresh has put its sessions in the list.
    void sessionsShown();

public slots:
    void OnRefresh();
    void OnOptions();
    void OnKillSession();
    void OnKillImmediately();
    void OnDisconnectSession();
    void OnCancelSql();
    void OnSessionProperties();
    void OnFilePrint();
    void OnFileExport();
    void OnEditCopy();
    void OnConnect();
    void OnColumns();

protected:
    void timerEvent(QTimerEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // Shift+F10 asks for the context menu as the Menu key does.
    void keyPressEvent(QKeyEvent* event) override;
    // A Ctrl+click on the sorted heading returns to the statement's order.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    // screenPoint (-1, -1) is a request from the keyboard, which acts on the focused row when
    // none is selected.
    void OnContextMenu(const QPoint& screenPoint);
    // Where the menu goes: the point itself, or just under the focused row for (-1, -1); null
    // when a keyboard request finds no row to open it at.
    std::optional<QPoint> ContextMenuPosition(const QPoint& screenPoint);
    int FirstSelectedItem() const { return GetNextItem(-1, Selected); }

    // SessionListPort
    void ShowSessions(SessionList sessions) override;
    std::vector<SessionRow> SelectedSessions() const override;
    std::vector<SessionColumnId> ChosenColumns() const override;
    int SetTimer(int milliseconds) override;
    void KillTimer(int id) override;
    void SetStatusText(const QString& text) override;
    void ShowSessionCount(const QString& text) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

private:
    void CreateColumns();
    void EndSessions(EndSession kind);
    // The count pane: how many sessions are listed, and how many pass the filter.
    void UpdateSessionCount();
    // Columns the server lacks are no longer shown for this connection.
    void HideUnread(const std::vector<SessionColumnId>& read);
    // How many sessions each listed blocker holds up, when the list read it.
    void MarkBlockers(const std::vector<SessionColumnId>& read);
    // Shows the instance and container columns where the list read them, hides them elsewhere.
    void ShowAutomatic(const std::vector<SessionColumnId>& read);
    // The model row's session: its values of the seven columns and its instance.
    SessionRow SessionAt(int row) const;
    // The properties sheet's plan and long operations, each read when its page is first shown.
    void FollowSheetPages(CPropsSheet& sheet, const SessionKey& key);

    SessionDetails m_details;
    CListModel m_sessions;
    CSessionSortFilter* m_sorted;
    RefreshCycle m_cycle;
    std::vector<QAction*> m_contextMenu;  // null for a separator
    // What the count pane says while logged off; empty while logged on.
    QString m_offlineCount;
    bool m_bBlockingWanted = false;
    bool m_bBlockingRead = false;
    bool m_bLongOpsWanted = false;
    bool m_bLongOpsRead = false;
    std::vector<LongOperation> m_longOperations;
    // Set while the blocking tree's menu runs.
    std::optional<std::vector<SessionRow>> m_commandTargets;
};
