#pragma once
// The main window: menus, toolbar, status bar with the message pane and the lock indicators,
// and the session list view as its client. Closing it logs off.

#include <QHash>
#include <QMainWindow>
#include <memory>

#include "ConnectAs.h"

class ActivitySampler;
class CActivityPane;
class CBlockingPane;
class CFilterBar;
class QDockWidget;
class CNimbraView;
class CStatusBar;
class QAction;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    // Logs off when logged on.
    ~CMainFrame() override;

    CNimbraView* View() const { return m_view; }
    CFilterBar* FilterBar() const { return m_filterBar; }
    CBlockingPane* BlockingPane() const { return m_blockingPane; }
    // The action of a command id (CommandIds.h), null when the frame has none.
    QAction* Action(int commandId) const;
    QToolBar* ToolBar() const { return m_toolBar; }
    CStatusBar* StatusBar() const { return m_statusBar; }
    CActivityPane* ActivityPane() const { return m_activityPane; }
    // Null while nothing is sampled.
    const ActivitySampler* Sampler() const { return m_sampler.get(); }

    // From now on each log-on of the window's connection starts sampling the active sessions on
    // a connection of its own, as File > Options say. The program asks for it; a test when it
    // wants a second connection beside the one it counts statements on.
    void SampleActivityAtLogOn();

    // No menu of the bars' own on a right click.
    QMenu* createPopupMenu() override { return nullptr; }

signals:
    // The About command; the application shows the about box.
    void aboutRequested();

protected:
    // Command prompts arrive as status tips and go to the message pane.
    bool event(QEvent* event) override;
    // Closed by the user: the layout is kept for the next start.
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateActions();
    void CreateActivityDock();
    void StartSampling(const char* user, const char* password, const char* host, ConnectAs mode);
    void StopSampling();
    // A session of the activity's top list, selected in the list when it is still there.
    void SelectSampledSession(const QString& sid, const QString& serial);
    // Of the database logged on to, read once per log-on.
    int CpuCount();
    void CreateMenus();
    void CreateToolBar();
    void CreateAccelerators();
    void RouteCommands();
    // The connection's state, the lost connection in the status bar, and the warning of a
    // log-on.
    void OnConnectionChanged();
    void ShowLogonWarning();
    void ShowConnectionState();
    void UpdateSelectionCommands();
    void UpdateEndCommands(bool selected);
    void CreateBlockingDock();
    // The window's and the list's layout of the last run, and the one kept for the next.
    void RestoreLayout();
    void SaveLayout() const;
    // The descriptive title, then who is logged on where while a connection is open.
    void UpdateTitle();

    CFilterBar* m_filterBar;
    CBlockingPane* m_blockingPane = nullptr;
    QDockWidget* m_blockingDock = nullptr;
    CNimbraView* m_view;
    CStatusBar* m_statusBar;
    QToolBar* m_toolBar;
    QHash<int, QAction*> m_actions;
    int m_nConnectionObserver;
    CActivityPane* m_activityPane = nullptr;
    QDockWidget* m_activityDock = nullptr;
    std::unique_ptr<ActivitySampler> m_sampler;
    // The history last sampled into: the chart still shows it once the connection is gone.
    QString m_lastHistoryPath;
    int m_nCpus = 0;
    int m_nCpusLogon = -1;
};
