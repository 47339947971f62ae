#include "frame/NimbraApp.h"

#include <QCommandLineParser>
#include <QPointer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "AppIdentity.h"
#include "AppSettings.h"
#include "LogonFlow.h"
#include "OracleConnection.h"
#include "RememberedPassword.h"
#include "SettingsStore.h"
#include "Strings.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/ConnectDialog.h"
#include "frame/MainFrame.h"
#include "sessionview/NimbraView.h"
#include "widgets/MessageBox.h"
#include "widgets/StatusBar.h"

namespace {
constexpr int kRecentFiles = 4;
constexpr int kDemoRefreshSeconds = 5;

void logOnToDemo() {
    LogOn("system", "manager", "sim:demo");
}

// --help-all adds the window system's options, which only a widget application knows; on the
// minimal platform it needs no display, whatever -platform says before.
[[noreturn]] void answerHelpAll(int argc, char** argv) {
    static char platformOption[] = "-platform";
    static char minimalPlatform[] = "minimal";
    std::vector<char*> arguments(argv, argv + argc);
    arguments.insert(arguments.end(), {platformOption, minimalPlatform, nullptr});
    int count = argc + 2;
    const QApplication app(count, arguments.data());
    QCommandLineParser parser;
    ConfigureCommandLine(parser);
    parser.process(app);
    parser.showHelp(0);
}
}  // namespace

std::unique_ptr<CMainFrame> CreateMainWindow(bool demo) {
    ShowFailuresInMessageBoxes();
    if (demo) {
        SettingsStore::KeepChangesInMemory();
    }
    SetCallTimeoutSeconds(AppSettings::Load().CallTimeoutSec);
    auto frame = std::make_unique<CMainFrame>();
    frame->SampleActivityAtLogOn();
    const QPointer<CStatusBar> statusBar = frame->StatusBar();
    SetPasswordNoticeSink([statusBar](const QString& text) {
        if (statusBar) {
            statusBar->SetMessageText(text);
        }
    });
    // After a failed or impossible automatic log-on the dialog asks afresh.
    bool presetPassword = true;
    if (demo) {
        logOnToDemo();
    } else {
        MovePasswordToKeyring();
        AutomaticLogOn();
        presetPassword = !AppSettings::Load().AutoLogin;
    }
    if (!IsLoggedOn()) {
        CConnectDialog dialog(frame.get(), presetPassword);
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
    const auto given = [argc, argv](std::initializer_list<const char*> options) {
        return std::any_of(argv + 1, argv + argc, [options](const char* argument) {
            return std::any_of(options.begin(), options.end(), [argument](const char* option) {
                return std::strcmp(argument, option) == 0;
            });
        });
    };
    if (given({"--help-all"})) {
        answerHelpAll(argc, argv);
    }
    if (!given({"-h", "--help", "-?", "-v", "--version"})) {
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
    ShowFailuresInMessageBoxes();
    SettingsStore::SecureAtStartUp();
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
