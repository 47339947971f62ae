#include "NimbraApp.h"

#include <QCommandLineParser>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "AboutDialog.h"
#include "AppIdentity.h"
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

QCommandLineOption ConfigureCommandLine(QCommandLineParser& parser) {
    QCoreApplication::setOrganizationName(QStringLiteral("Velmoor"));
    QCoreApplication::setApplicationName(Strings::AppTitle);
    QCoreApplication::setApplicationVersion(Strings::Version);
    parser.setApplicationDescription(Strings::DescriptiveTitle);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Log on to the built-in demo instance (sim:demo) as system, storing "
                       "nothing, instead of the automatic log-on."));
    parser.addOption(demoOption);
    return demoOption;
}

bool AnswerInformationOptions(int argc, char** argv) {
    static const char* const kInformation[] = {"-h", "--help", "-?", "-v", "--version"};
    const bool asked = std::any_of(argv + 1, argv + argc, [](const char* argument) {
        return std::any_of(std::begin(kInformation), std::end(kInformation),
                           [&](const char* option) { return std::strcmp(argument, option) == 0; });
    });
    if (!asked) {
        return false;
    }
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    ConfigureCommandLine(parser);
    // The window system's own options (-style, -platform, ...) are unknown here: leave them be.
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("version"))) {
        parser.showVersion();
    }
    parser.showHelp(0);
}

CNimbraApp::CNimbraApp(int& argc, char** argv) : QApplication(argc, argv) {
    // Every window shows the installed icon, and the window system matches it to the entry.
    setWindowIcon(AppIcon());
    setDesktopFileName(DesktopFileName());
}

CNimbraApp::~CNimbraApp() {
    m_mainFrame.reset();
    if (m_bProfileLoaded) {
        m_profile.Save();
    }
}

bool CNimbraApp::InitInstance() {
    m_profile.Load(kRecentFiles);
    m_bProfileLoaded = true;

    QCommandLineParser parser;
    const QCommandLineOption demoOption = ConfigureCommandLine(parser);
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
