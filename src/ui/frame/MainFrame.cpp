#include "frame/MainFrame.h"

#include <QAction>
#include <QGuiApplication>
#include <QIcon>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>

#include "ConnectionTexts.h"
#include "OracleConnection.h"
#include "RefreshCycle.h"
#include "Strings.h"
#include "sessionview/NimbraView.h"
#include "widgets/CommandIds.h"
#include "widgets/Commands.h"
#include "widgets/MessageBox.h"
#include "widgets/StatusBar.h"

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent),
      m_view(new CNimbraView(this)),
      m_statusBar(new CStatusBar(this)),
      m_toolBar(new QToolBar(QStringLiteral("Toolbar"), this)) {
    m_nConnectionObserver = AddConnectionObserver([this] { OnConnectionChanged(); });
    setCentralWidget(m_view);
    setStatusBar(m_statusBar);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateAccelerators();
    RouteCommands();
    ShowConnectionState();
    // The window system places the window; its size is a share of the screen, never stored.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        resize(screen->availableSize() * 3 / 4);
    }
}

CMainFrame::~CMainFrame() {
    RemoveConnectionObserver(m_nConnectionObserver);
    if (IsLoggedOn()) {
        LogOff();
    }
}

void CMainFrame::OnConnectionChanged() {
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
    for (int id : {Refresh, RefreshToolbar, KillSession, Properties, Print}) {
        Action(id)->setEnabled(IsLoggedOn());
    }
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
}

bool CMainFrame::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        m_statusBar->SetMessageText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}
