// nimbra-sessions: prints the sessions of an Oracle instance, for scripts.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "ErrorReport.h"
#include "OracleConnection.h"
#include "SessionStatements.h"
#include "SessionTable.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("nimbra-sessions");
    QCoreApplication::setApplicationVersion("1.2.0");

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prints the sessions of an Oracle instance. Try the built-in demo instance with\n"
        "  nimbra-sessions system/manager@sim:demo");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption allOption("all", "Include sessions without a user name.");
    const QCommandLineOption csvOption("csv", "Print CSV instead of an aligned table.");
    parser.addOption(allOption);
    parser.addOption(csvOption);
    parser.addPositionalArgument("logon", "user/password@host");
    parser.process(app);
    if (parser.positionalArguments().size() != 1) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return 2;
    }

    bool failed = false;
    SetMessageSink([&failed](const std::string& message) {
        failed = true;
        std::fprintf(stderr, "%s\n", message.c_str());
    });
    const LogonArgument logon =
        ParseLogonArgument(parser.positionalArguments().first().toStdString());
    if (!LogOn(logon.user.c_str(), logon.password.c_str(), logon.host.c_str())) {
        return 1;
    }
    const std::vector<SessionRow> rows = FetchSessionRows(parser.isSet(allOption));
    LogOff();
    const std::string out = parser.isSet(csvOption) ? FormatCsv(rows) : FormatAligned(rows);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return failed ? 1 : 0;
}
