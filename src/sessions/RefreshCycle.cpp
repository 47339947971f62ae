#include "RefreshCycle.h"

#include <QString>
#include <vector>

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

void RefreshCycle::RefreshList() {
    m_port.SetStatusText(kCollecting);
    StopRefreshTimer();
    m_port.DeleteAllItems();
    if (IsLoggedOn()) {
        m_port.BeginWaitCursor();
        const std::vector<SessionRow> rows = FetchSessionRows(m_bShowSystem);
        m_port.BeginListUpdate();
        int i = 0;
        for (const SessionRow& row : rows) {
            m_port.InsertItem(i, QString::fromStdString(row.username));
            m_port.SetItemText(i, 1, QString::fromStdString(row.sid));
            m_port.SetItemText(i, 2, QString::fromStdString(row.serial));
            m_port.SetItemText(i, 3, QString::fromStdString(row.status));
            m_port.SetItemText(i, 4, QString::fromStdString(row.osUser));
            m_port.SetItemText(i, 5, QString::fromStdString(row.machine));
            m_port.SetItemText(i, 6, QString::fromStdString(row.program));
            ++i;
        }
        m_port.EndListUpdate();
        m_port.EndWaitCursor();
    }
    StartRefreshTimer();
    m_port.SetStatusText(QString());
}
