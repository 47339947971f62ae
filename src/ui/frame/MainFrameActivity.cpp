// The window's part in the activity history: the sampler that follows the window's log-ons, and
// View > Activity.

#include <QAction>
#include <QDockWidget>
#include <QPointer>

#include "ActivitySampler.h"
#include "ActivitySettings.h"
#include "CpuCount.h"
#include "DatabaseShape.h"
#include "OracleConnection.h"
#include "activity/ActivityPane.h"
#include "frame/MainFrame.h"
#include "sessionview/NimbraView.h"
#include "widgets/CommandIds.h"
#include "widgets/StatusBar.h"

void CMainFrame::SampleActivityAtLogOn() {
    SetMainLogonListener([this](const char* user, const char* password, const char* host,
                                ConnectAs mode) { StartSampling(user, password, host, mode); });
}

// The sampler's texts arrive on its thread and are shown on the window's.
void CMainFrame::StartSampling(const char* user, const char* password, const char* host,
                               ConnectAs mode) {
    StopSampling();
    const ActivitySettings settings = ActivitySettings::Load();
    if (!settings.Sample) {
        return;
    }
    const QPointer<CStatusBar> statusBar = m_statusBar;
    ActivitySampler::Options options;
    options.interval = std::chrono::seconds(settings.SampleSec);
    options.keepDays = settings.KeepDays;
    m_sampler = std::make_unique<ActivitySampler>(
        WorkerConnection::Logon{user, password, host, mode}, options,
        [statusBar](const QString& text) {
            QMetaObject::invokeMethod(
                statusBar, [statusBar, text] { statusBar->SetMessageText(text); },
                Qt::QueuedConnection);
        });
}

void CMainFrame::StopSampling() {
    if (m_sampler && !m_sampler->HistoryPath().isEmpty()) {
        m_lastHistoryPath = m_sampler->HistoryPath();
    }
    m_sampler.reset();
}

// Docked at the bottom, hidden until asked for; it reads only the local history.
void CMainFrame::CreateActivityDock() {
    m_activityPane = new CActivityPane(
        [this] {
            const QString sampled = m_sampler ? m_sampler->HistoryPath() : QString();
            return sampled.isEmpty() ? m_lastHistoryPath : sampled;
        },
        [this] { return CpuCount(); });
    m_activityDock = new QDockWidget(QStringLiteral("Activity"), this);
    m_activityDock->setObjectName(QStringLiteral("activityDock"));
    m_activityDock->setWidget(m_activityPane);
    addDockWidget(Qt::BottomDockWidgetArea, m_activityDock);
    m_activityDock->hide();
    QAction* toggle = Action(CommandId::Activity);
    toggle->setCheckable(true);
    connect(toggle, &QAction::triggered, m_activityDock, &QDockWidget::setVisible);
    // Bound to the action: the window's own part is gone when its closing hides the dock.
    connect(m_activityDock, &QDockWidget::visibilityChanged, toggle,
            [toggle, dock = m_activityDock] { toggle->setChecked(!dock->isHidden()); });
    connect(m_activityPane, &CActivityPane::sessionWanted, this, &CMainFrame::SelectSampledSession);
    // Turned off in File > Options, sampling stops at once; turned on, it starts at the next
    // log-on, which brings the password it needs.
    connect(Action(CommandId::Options), &QAction::triggered, this, [this] {
        if (!ActivitySettings::Load().Sample) {
            StopSampling();
        }
    });
}

// The history holds the sessions of the instance logged on to.
void CMainFrame::SelectSampledSession(const QString& sid, const QString& serial) {
    const DatabaseShape& shape = KnownDatabaseShape();
    const SessionKey key{sid.toStdString(), serial.toStdString(),
                         shape.Clustered() ? shape.ownInstance : std::string()};
    if (!m_view->ListedSession(key)) {
        m_statusBar->SetMessageText(
            QStringLiteral("Session %1,%2 is no longer connected.").arg(sid, serial));
        return;
    }
    m_view->SelectSessions({key});
    m_view->setFocus();
}

int CMainFrame::CpuCount() {
    const OracleConnection& c = TheConnection();
    if (c.loggedOn && m_nCpusLogon != c.logonId) {
        m_nCpusLogon = c.logonId;
        const DatabaseOperation read;
        m_nCpus = ReadCpuCount();
    }
    return m_nCpus;
}
