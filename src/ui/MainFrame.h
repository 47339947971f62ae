#pragma once
// The main window: menus, toolbar, status bar with the message pane and the lock indicators,
// and the session list view as its client. Closing it logs off.

#include <QMainWindow>

class CNimbraView;
class QAction;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    CNimbraView* View() const { return m_view; }
    // The action of a command id (CommandIds.h), null when the frame has none.
    QAction* Action(int commandId) const;

private:
    CNimbraView* m_view;
};
