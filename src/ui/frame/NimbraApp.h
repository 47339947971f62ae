#pragma once
// The application: start-up (settings, main window, automatic log-on or the connect dialog)
// and the About command.

#include <QApplication>
#include <memory>

#include "StdProfileSettings.h"

class CMainFrame;
class QCommandLineOption;
class QCommandLineParser;

// Sets the application's names and Nimbra's options on parser; returns the --demo option.
QCommandLineOption ConfigureCommandLine(QCommandLineParser& parser);
// Answers --help, --help-all or --version, which need no display, before any window system is
// opened; false when none was asked for.
bool AnswerInformationOptions(int argc, char** argv);

// The start-up steps after the command line, on whatever application object runs: failure
// messages go to message boxes, the main window is created hidden, then logged on (as the demo
// account with demo, else by the automatic log-on, else through the connect dialog) and shown.
// Null when the connect dialog was cancelled; that window was never shown.
std::unique_ptr<CMainFrame> CreateMainWindow(bool demo);

class CNimbraApp : public QApplication {
    Q_OBJECT
public:
    CNimbraApp(int& argc, char** argv);
    // Closes the main window (logging off), then writes the standard profile settings back.
    ~CNimbraApp() override;

    // false ends the program before its event loop (the start-up connect dialog was cancelled).
    // --help, --version and a command line it refuses end the program here, as with any Qt
    // program.
    bool InitInstance();
    CMainFrame* MainFrame() const { return m_mainFrame.get(); }

public slots:
    void OnAppAbout();

private:
    StdProfileSettings m_profile;
    bool m_bProfileLoaded = false;
    std::unique_ptr<CMainFrame> m_mainFrame;
};
