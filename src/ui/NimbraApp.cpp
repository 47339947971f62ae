#include "NimbraApp.h"

#include <QCommandLineParser>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "AboutDialog.h"
#include "ConnectDialog.h"
#include "LogonFlow.h"
#include "MainFrame.h"
#include "MessageBox.h"
#include "NimbraView.h"
#include "OracleConnection.h"
#include "Strings.h"

namespace {
constexpr int kRecentFiles = 4;
constexpr int kDemoRefreshSeconds = 5;

void logOnToDemo() {
    LogOn("system", "manager", "sim:demo");
}
}  // namespace

std::unique_ptr<CMainFrame> CreateMainWindow(bool demo) {
    ShowFailuresInMessageBoxes();
    auto frame = std::make_unique<CMainFrame>();
    if (demo) {
        logOnToDemo();
    } else {
        AutomaticLogOn();
    }
    if (!IsLoggedOn()) {
        CConnectDialog dialog(frame.get());
        if (dialog.exec() == 0) {
            return nullptr;
        }
    }
    frame->show();
    if (demo) {
        // The demo is for watching sessions come and go, so its list fills and keeps itself
        // current without a stored interval; nothing is written.
        frame->View()->UseRefreshSecondsUnlessSet(kDemoRefreshSeconds);
        frame->View()->RefreshList();
    }
    return frame;
}

CNimbraApp::CNimbraApp(int& argc, char** argv) : QApplication(argc, argv) {}

CNimbraApp::~CNimbraApp() {
    m_mainFrame.reset();
    if (m_bProfileLoaded) {
        m_profile.Save();
    }
}

bool CNimbraApp::InitInstance() {
    setOrganizationName(QStringLiteral("Velmoor"));
    setApplicationName(Strings::AppTitle);
    setApplicationVersion(Strings::Version);
    setWindowIcon(QIcon(QStringLiteral(":/images/nimbra.png")));
    m_profile.Load(kRecentFiles);
    m_bProfileLoaded = true;

    QCommandLineParser parser;
    parser.setApplicationDescription(Strings::DescriptiveTitle);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Log on to the built-in demo instance (sim:demo) as system, storing "
                       "nothing, instead of the automatic log-on."));
    parser.addOption(demoOption);
    parser.process(*this);
    if (!parser.positionalArguments().isEmpty()) {
        // Refused like an unknown option: Nimbra opens no files.
        std::fprintf(stderr, "%s: Unknown argument '%s'.\n", qPrintable(applicationName()),
                     qPrintable(parser.positionalArguments().constFirst()));
        std::exit(EXIT_FAILURE);
    }

    m_mainFrame = CreateMainWindow(parser.isSet(demoOption));
    if (!m_mainFrame) {
        return false;
    }
    connect(m_mainFrame.get(), &CMainFrame::aboutRequested, this, &CNimbraApp::OnAppAbout);
    return true;
}

void CNimbraApp::OnAppAbout() {
    ShowAboutBox(Strings::TemplateString);
}
