#include "RefreshCycle.h"

#include <QString>
#include <vector>

#include "ConnectionTexts.h"
#include "OracleConnection.h"
#include "SessionStatements.h"

namespace {
const QString kCollecting = QStringLiteral("Collection session information...");
}

RefreshCycle::RefreshCycle(SessionListPort& port, int refreshSeconds, bool showSystem)
    : m_port(port), m_nRefreshSeconds(refreshSeconds), m_bShowSystem(showSystem) {}

void RefreshCycle::StartRefreshTimer() {
    if (m_nTimerId == 0 && m_nRefreshSeconds != 0) {
        m_nTimerId = m_port.SetTimer(m_nRefreshSeconds * 1000);
    }
}

void RefreshCycle::StopRefreshTimer() {
    if (m_nTimerId != 0) {
        m_port.KillTimer(m_nTimerId);
        m_nTimerId = 0;
    }
}

void RefreshCycle::OnTimer(int timerId) {
    if (timerId == m_nTimerId && IsLoggedOn()) {
        RefreshList();
    }
}

// The rows on screen stay until the new ones replace them, so that the list is updated in place
// and the user's selection and scroll position survive the refresh.
void RefreshCycle::RefreshList() {
    if (m_bRefreshing) {
        return;
    }
    m_bRefreshing = true;
    m_port.SetStatusText(kCollecting);
    StopRefreshTimer();
    std::size_t listed = 0;
    bool shown = true;
    if (IsLoggedOn()) {
        const DatabaseOperation refresh;
        m_port.BeginWaitCursor();
        SessionList sessions = FetchSessionRows(m_bShowSystem, m_port.ChosenColumns());
        // A refresh cut short on a connection that stays open leaves the list as it was.
        shown = !(refresh.Failed() && IsLoggedOn());
        if (shown) {
            listed = sessions.rows.size();
            m_port.ShowSessions(std::move(sessions));
        }
        m_port.EndWaitCursor();
    } else {
        m_port.ShowSessions({ListColumns({}), {}});
    }
    StartRefreshTimer();
    if (shown) {
        m_port.ShowSessionCount(IsLoggedOn() ? SessionCountText(listed) : NotConnectedText());
    }
    m_port.SetStatusText(!IsLoggedOn() && TheConnection().connectionLost ? ConnectionLostText()
                                                                         : QString());
    m_bRefreshing = false;
}
