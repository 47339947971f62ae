#pragma once
// What the session commands need of the window that shows the list: its items, its refresh
// timer, the status bar's message pane and the wait cursor. The list view provides it; tests
// provide a recording one.

#include <QString>

class SessionListPort {
public:
    virtual ~SessionListPort() = default;

    virtual void DeleteAllItems() = 0;
    // Inserts item index with text in column 0; returns its index.
    virtual int InsertItem(int index, const QString& text) = 0;
    virtual void SetItemText(int item, int subItem, const QString& text) = 0;
    virtual QString GetItemText(int item, int subItem) const = 0;
    // The first selected item from the top, -1 when none is selected.
    virtual int FirstSelectedItem() const = 0;
    // Bracket a run of inserts that the window may show as one change at its end.
    virtual void BeginListUpdate() {}
    virtual void EndListUpdate() {}

    // Starts the window's refresh timer; returns its id, 0 when it could not be started.
    virtual int SetTimer(int milliseconds) = 0;
    virtual void KillTimer(int id) = 0;

    // Sets the status bar's message pane and paints it before the caller blocks.
    virtual void SetStatusText(const QString& text) = 0;
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
};
