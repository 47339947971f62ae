#include "frame/MainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QGuiApplication>
#include <QIcon>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "ActivitySampler.h"
#include "ConnectionTexts.h"
#include "EndSession.h"
#include "LayoutSettings.h"
#include "OracleConnection.h"
#include "RefreshCycle.h"
#include "SessionActions.h"
#include "SessionFilter.h"
#include "Strings.h"
#include "sessionview/BlockingPane.h"
#include "sessionview/FilterBar.h"
#include "sessionview/NimbraView.h"
#include "widgets/CommandIds.h"
#include "widgets/Commands.h"
#include "widgets/MessageBox.h"
#include "widgets/StatusBar.h"

namespace {
// The session commands beside the kill, each with the statement it sends.
const std::vector<std::pair<int, EndSession>>& EndCommands() {
    static const std::vector<std::pair<int, EndSession>> commands = {
        {CommandId::KillSession, EndSession::Kill},
        {CommandId::KillImmediately, EndSession::KillImmediately},
        {CommandId::Disconnect, EndSession::Disconnect},
        {CommandId::CancelSql, EndSession::CancelSql}};
    return commands;
}
}  // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent),
      m_filterBar(new CFilterBar),
      m_view(new CNimbraView),
      m_statusBar(new CStatusBar(this)),
      m_toolBar(new QToolBar(QStringLiteral("Toolbar"), this)) {
    m_nConnectionObserver = AddConnectionObserver([this] { OnConnectionChanged(); });
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_filterBar);
    layout->addWidget(m_view, 1);
    setCentralWidget(client);
    setStatusBar(m_statusBar);
    CreateActions();
    CreateBlockingDock();
    CreateActivityDock();
    CreateMenus();
    CreateToolBar();
    CreateAccelerators();
    RouteCommands();
    ShowConnectionState();
    RestoreLayout();
}

// Docked at the right, hidden until asked for; while shown the list reads who blocks whom.
void CMainFrame::CreateBlockingDock() {
    m_blockingPane = new CBlockingPane(*m_view, m_view->ContextMenuCommands());
    m_blockingDock = new QDockWidget(QStringLiteral("Blocking Sessions"), this);
    m_blockingDock->setObjectName(QStringLiteral("blockingDock"));
    m_blockingDock->setWidget(m_blockingPane);
    addDockWidget(Qt::RightDockWidgetArea, m_blockingDock);
    m_blockingDock->hide();
    QAction* toggle = Action(CommandId::BlockingSessions);
    toggle->setCheckable(true);
    connect(toggle, &QAction::toggled, this, [this](bool shown) {
        m_blockingDock->setVisible(shown);
        m_view->SetBlockingWanted(shown);
    });
    // Closed by its own button, or shown again with the window's remembered state.
    connect(m_blockingDock, &QDockWidget::visibilityChanged, this,
            [this, toggle] { toggle->setChecked(!m_blockingDock->isHidden()); });
    // The tree's menu acts on the tree's selection, which the list may not show.
    connect(m_blockingPane, &CBlockingPane::commandsWanted, this, [this] {
        Action(CommandId::Properties)->setEnabled(IsLoggedOn());
        UpdateEndCommands(IsLoggedOn());
    });
    connect(m_blockingPane, &CBlockingPane::commandsDone, this,
            &CMainFrame::UpdateSelectionCommands);
}

// The window system places a window it has never seen; its first size is a share of the screen.
void CMainFrame::RestoreLayout() {
    const LayoutSettings layout = LayoutSettings::Load();
    m_view->RestoreLayout(layout);
    Action(CommandId::HideIdle)->setChecked(layout.HideIdle);
    if (!restoreGeometry(layout.Geometry)) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            resize(screen->availableSize() * 3 / 4);
        }
    }
    restoreState(layout.WindowState);
    m_statusBar->setVisible(layout.StatusBar);
    Action(CommandId::ViewStatusBar)->setChecked(layout.StatusBar);
    Action(CommandId::ViewToolbar)->setChecked(!m_toolBar->isHidden());
}

void CMainFrame::SaveLayout() const {
    LayoutSettings layout;
    m_view->SaveLayout(layout);
    layout.Geometry = saveGeometry();
    layout.WindowState = saveState();
    layout.StatusBar = !m_statusBar->isHidden();
    LayoutSettings::Save(layout);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    SaveLayout();
    QMainWindow::closeEvent(event);
}

CMainFrame::~CMainFrame() {
    SetMainLogonListener({});
    StopSampling();
    RemoveConnectionObserver(m_nConnectionObserver);
    if (IsLoggedOn()) {
        LogOff();
    }
}

void CMainFrame::OnConnectionChanged() {
    // The sampler's connection goes with the window's.
    if (!IsLoggedOn()) {
        StopSampling();
    }
    ShowConnectionState();
    if (!IsLoggedOn() && TheConnection().connectionLost) {
        m_statusBar->SetMessageText(ConnectionLostText());
    }
    if (IsLoggedOn() && TheConnection().logonWarningCode != 0) {
        // Once the log-on that brought it has finished: a warning is no failure.
        QTimer::singleShot(0, this, &CMainFrame::ShowLogonWarning);
    }
}

// Without a connection the session commands have nothing to act on, and the list's count is
// not known until it is read.
void CMainFrame::ShowConnectionState() {
    UpdateTitle();
    using namespace CommandId;
    for (int id : {Refresh, RefreshToolbar, Print, Export}) {
        Action(id)->setEnabled(IsLoggedOn());
    }
    UpdateSelectionCommands();
    m_statusBar->SetSessionText(IsLoggedOn() ? QString() : NotConnectedText());
}

void CMainFrame::ShowLogonWarning() {
    const int code = TheConnection().logonWarningCode;
    const QString warning = QString::fromStdString(TakeLogonWarning());
    if (warning.isEmpty()) {
        return;
    }
    m_statusBar->SetMessageText(warning.section(u'\n', 0, 0));
    if (IsPasswordExpiryWarning(code)) {
        NimbraMessageBox(warning, MsgButtons::Ok, MsgIcon::Information);
    }
}

void CMainFrame::UpdateTitle() {
    const QString connection = ConnectionTitle();
    setWindowTitle(connection.isEmpty()
                       ? Strings::DescriptiveTitle
                       : Strings::DescriptiveTitle + QStringLiteral(" - ") + connection);
}

QAction* CMainFrame::Action(int commandId) const {
    return m_actions.value(commandId);
}

// The session commands are the view's own, so the context menu and the menus share them.
void CMainFrame::CreateActions() {
    for (const CommandInfo& command : CommandTable()) {
        QAction* action = m_view->SessionCommand(command.id);
        m_actions.insert(command.id, action ? action : NewCommandAction(command, this));
    }
    Action(CommandId::ViewToolbar)->setCheckable(true);
    Action(CommandId::ViewToolbar)->setChecked(true);
    Action(CommandId::ViewStatusBar)->setCheckable(true);
    Action(CommandId::ViewStatusBar)->setChecked(true);
}

void CMainFrame::CreateMenus() {
    for (const MenuLayout& layout : MenuBarLayout()) {
        QMenu* menu = menuBar()->addMenu(layout.title);
        menu->setToolTipsVisible(true);
        for (int id : layout.items) {
            if (id == kSeparator) {
                menu->addSeparator();
            } else {
                menu->addAction(Action(id));
            }
        }
    }
}

void CMainFrame::CreateToolBar() {
    m_toolBar->setObjectName(QStringLiteral("toolbar"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (int id : ToolBarLayout()) {
        if (id == kSeparator) {
            m_toolBar->addSeparator();
        } else {
            m_toolBar->addAction(Action(id));
        }
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
}

// The keys are the window's, not the actions': the keys of a disabled command are taken and
// dropped, so the list never sees them (Ctrl+C would copy its current cell).
void CMainFrame::CreateAccelerators() {
    for (const Accelerator& accelerator : AcceleratorTable()) {
        auto* shortcut = new QShortcut(accelerator.keys, this);
        connect(shortcut, &QShortcut::activated, Action(accelerator.commandId), &QAction::trigger);
    }
}

void CMainFrame::RouteCommands() {
    using namespace CommandId;
    connect(Action(Connect), &QAction::triggered, m_view, &CNimbraView::OnConnect);
    connect(Action(Options), &QAction::triggered, m_view, &CNimbraView::OnOptions);
    connect(Action(Print), &QAction::triggered, m_view, &CNimbraView::OnFilePrint);
    connect(Action(Refresh), &QAction::triggered, m_view, &CNimbraView::OnRefresh);
    connect(Action(RefreshToolbar), &QAction::triggered, m_view, &CNimbraView::OnRefresh);
    connect(Action(About), &QAction::triggered, this, &CMainFrame::aboutRequested);
    connect(Action(Exit), &QAction::triggered, this, &QWidget::close);
    connect(Action(ViewToolbar), &QAction::triggered, m_toolBar, &QWidget::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, Action(ViewToolbar), &QAction::setChecked);
    connect(Action(ViewStatusBar), &QAction::triggered, m_statusBar, &QWidget::setVisible);
    connect(Action(Export), &QAction::triggered, m_view, &CNimbraView::OnFileExport);
    connect(Action(Copy), &QAction::triggered, m_view, &CNimbraView::OnEditCopy);
    connect(Action(Columns), &QAction::triggered, m_view, &CNimbraView::OnColumns);
    connect(Action(ServerOrder), &QAction::triggered, m_view, &CNimbraView::UseServerOrder);
    connect(Action(HideIdle), &QAction::toggled, m_view, &CNimbraView::SetHideIdle);
    connect(Action(Filter), &QAction::triggered, m_filterBar, &CFilterBar::Open);
    connect(m_filterBar, &CFilterBar::filterChanged, m_view,
            [this](const QString& text) { m_view->SetFilter(SessionFilter(text)); });
    connect(m_filterBar, &CFilterBar::closed, m_view, [this] { m_view->setFocus(); });
    connect(m_view, &CNimbraView::selectedSessionsChanged, this,
            &CMainFrame::UpdateSelectionCommands);
    // What the database is made of is known once its sessions have been read.
    connect(m_view, &CNimbraView::sessionsShown, this, &CMainFrame::UpdateTitle);
}

// The commands on the selected sessions have something to act on while sessions are selected;
// one the server does not know stays greyed and says why.
void CMainFrame::UpdateSelectionCommands() {
    const bool selected = IsLoggedOn() && m_view->GetNextItem(-1, CListViewEx::Selected) >= 0;
    for (int id : {CommandId::Properties, CommandId::Copy}) {
        Action(id)->setEnabled(selected);
    }
    UpdateEndCommands(selected);
}

// A command the server does not know, or that cannot reach a session of the selection on another
// instance, stays greyed and says why.
void CMainFrame::UpdateEndCommands(bool selected) {
    const ServerRelease& release = ConnectedServerRelease();
    const std::vector<SessionTarget> targets =
        selected ? SelectedSessions(*m_view) : std::vector<SessionTarget>();
    for (const auto& [id, kind] : EndCommands()) {
        QString unavailable = UnavailableText(kind, release);
        if (unavailable.isEmpty() && !ReachesSelected(kind, targets)) {
            unavailable = OtherInstanceText(kind, release);
        }
        QAction* action = Action(id);
        action->setEnabled(selected && unavailable.isEmpty());
        action->setToolTip(unavailable.isEmpty() ? ToolTipText(FindCommand(id)->prompt)
                                                 : unavailable);
    }
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        m_statusBar->SetMessageText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}
