#pragma once
// Keeps the session list current: the refresh and its timer. The timer is stopped for the whole
// of a refresh and started afresh at its end, so the interval runs from the end of one refresh
// to the start of the next and two refreshes never overlap.

#include <QString>
#include <cstddef>

#include "SessionListPort.h"

class RefreshCycle {
public:
    // refreshSeconds 0: no automatic refresh.
    RefreshCycle(SessionListPort& port, int refreshSeconds, bool showSystem);

    void RefreshList();
    // Starts the timer when none runs and an interval is set; a running timer is never re-armed.
    void StartRefreshTimer();
    void StopRefreshTimer();
    // A tick of a timer: refreshes when it is this cycle's timer and somebody is logged on.
    void OnTimer(int timerId);

    int RefreshSeconds() const { return m_nRefreshSeconds; }
    bool ShowSystem() const { return m_bShowSystem; }
    int TimerId() const { return m_nTimerId; }
    void SetRefreshSeconds(int seconds) { m_nRefreshSeconds = seconds; }
    void SetShowSystem(bool showSystem) { m_bShowSystem = showSystem; }

private:
    SessionListPort& m_port;
    int m_nRefreshSeconds;
    int m_nTimerId = 0;
    bool m_bShowSystem;
    // A refresh in progress, its messages included: no second one starts inside it.
    bool m_bRefreshing = false;
};
