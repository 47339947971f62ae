#pragma once
// The application: start-up (settings, main window, automatic log-on or the connect dialog)
// and the About command.

#include <QApplication>
#include <memory>

class CMainFrame;

class CNimbraApp : public QApplication {
    Q_OBJECT
public:
    CNimbraApp(int& argc, char** argv);
    ~CNimbraApp() override;

    // false ends the program before its event loop (the start-up connect dialog was cancelled).
    bool InitInstance();
    CMainFrame* MainFrame() const { return m_mainFrame.get(); }

public slots:
    void OnAppAbout();

private:
    std::unique_ptr<CMainFrame> m_mainFrame;
};
