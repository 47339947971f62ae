#pragma once
// Shows the wait cursor for the lifetime of the object.

#include <QApplication>

class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// The normal pointer over a window that waits for the user while a wait cursor is held
// underneath: Qt's wait cursor covers every window, the one asking a question included.
class CNormalCursor {
public:
    CNormalCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~CNormalCursor() { QApplication::restoreOverrideCursor(); }
    CNormalCursor(const CNormalCursor&) = delete;
    CNormalCursor& operator=(const CNormalCursor&) = delete;
};
