#pragma once
// What the session commands need of the window that shows the list: its rows, its selection,
// its refresh timer, the status bar's message pane and the wait cursor. The list view provides
// it; tests provide a recording one.

#include <QString>
#include <vector>

#include "SessionRecords.h"

class SessionListPort {
public:
    virtual ~SessionListPort() = default;

    // Makes the list's sessions the listed ones, in their order; the window keeps the user's
    // place by session key (SID and serial#).
    virtual void ShowSessions(SessionList sessions) = 0;
    // The sessions selected, from the top as the window shows them, each with the values of the
    // seven columns every list reads; empty when none is selected.
    virtual std::vector<SessionRow> SelectedSessions() const = 0;
    // The columns the user chose beyond the seven, in the order shown.
    virtual std::vector<SessionColumnId> ChosenColumns() const { return {}; }

    // Starts the window's refresh timer; returns its id, 0 when it could not be started.
    virtual int SetTimer(int milliseconds) = 0;
    virtual void KillTimer(int id) = 0;

    // Sets the status bar's message pane and paints it before the caller blocks.
    virtual void SetStatusText(const QString& text) = 0;
    // Sets the status bar's pane that says what the list holds ("61 sessions", "Not
    // connected"); it stays until the next change, whatever the message pane shows.
    virtual void ShowSessionCount(const QString& text) = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};
