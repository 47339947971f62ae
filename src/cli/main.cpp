// nimbra-sessions: prints the sessions of an Oracle instance, for scripts. Standard output holds
// the table or the CSV and nothing else; messages go to standard error. The exit statuses are
// in SessionsReport.h.

#include <sys/prctl.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <cstdio>
#include <optional>
#include <string>

#include "ActivityReport.h"
#include "Keyring.h"
#include "ListOptions.h"
#include "PasswordInput.h"
#include "SecretWipe.h"
#include "SessionsReport.h"

namespace {
int usageError(const QString& text) {
    std::fprintf(stderr, "nimbra-sessions: %s\n", qPrintable(text));
    return kUsageError;
}

// The password the desktop's keyring holds for the user and host, as the window program stored
// it; none when it holds none or cannot be reached.
std::optional<std::string> keyringPassword(const LogonArgument& logon) {
    Keyring::Reading reading =
        Keyring::Read(QString::fromStdString(logon.user), QString::fromStdString(logon.host));
    if (reading.answer != Keyring::Answer::Done) {
        return std::nullopt;
    }
    QByteArray utf8 = reading.password.toUtf8();
    WipeSecret(reading.password);
    std::string password(utf8.constData(), std::size_t(utf8.size()));
    WipeSecret(utf8);
    return password;
}

// The password from where the command line says it comes; none after a message.
std::optional<std::string> passwordFor(LogonArgument& logon, bool fromStdin, bool useKeyring) {
    if (fromStdin) {
        if (logon.hasPassword) {
            usageError("the log-on names a password and --password-stdin asks for one: give one.");
            return std::nullopt;
        }
        std::optional<std::string> line = ReadPasswordLine(stdin);
        if (!line) {
            usageError("--password-stdin found no password on standard input.");
        }
        return line;
    }
    if (logon.hasPassword) {
        return logon.password;
    }
    if (useKeyring) {
        if (std::optional<std::string> stored = keyringPassword(logon)) {
            return stored;
        }
    }
    const PasswordAnswer answer = AskPasswordOnTerminal("Enter password: ");
    switch (answer.outcome) {
        case PasswordAnswer::Typed:
            return answer.password;
        case PasswordAnswer::EndOfInput:
            usageError("no password was given: the input ended at the password prompt.");
            break;
        case PasswordAnswer::NoTerminal:
            usageError(QStringLiteral("there is no terminal to ask for the password of %1 on; "
                                      "give it with --password-stdin.")
                           .arg(QString::fromStdString(logon.user)));
            break;
    }
    return std::nullopt;
}
}  // namespace

int main(int argc, char* argv[]) {
    // No core dump, and no other process of the user's, may read the password in memory.
    ::prctl(PR_SET_DUMPABLE, 0);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("nimbra-sessions");
    QCoreApplication::setApplicationVersion("1.2.0");

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prints the sessions of an Oracle instance. Try the built-in demo instance with\n"
        "  nimbra-sessions system/manager@sim:demo\n"
        "Exit status: 0 done; 1 the log-on or reading the sessions failed; 2 a wrong command\n"
        "line or no password; 3 the sessions were printed, but logging off failed.");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption allOption("all", "Include sessions without a user name.");
    const QCommandLineOption csvOption("csv", "Print CSV instead of an aligned table.");
    const QCommandLineOption stdinOption(
        "password-stdin", "Read the password from the first line of standard input.");
    const QCommandLineOption columnsOption(
        "columns",
        QString::fromStdString("The columns to show, in this order, of " + ColumnNames() + "."),
        "a,b,c");
    const QCommandLineOption sortOption(
        "sort", "Sort by a column, ascending or with :desc descending; ties by user and SID.",
        "column[:desc]");
    const QCommandLineOption filterOption(
        "filter",
        "Only sessions that match, as the window's filter: text in any shown column, "
        "column:text, -text to leave out; all terms must match.",
        "text");
    const QCommandLineOption activeOption("active", "Only ACTIVE sessions.");
    const QCommandLineOption killOption(
        "kill",
        "Kill the session instead of listing; with --immediate the server does not wait. On a "
        "cluster, sid,serial,@instance kills it on that instance.",
        "sid,serial");
    const QCommandLineOption immediateOption("immediate", "With --kill: kill at once.");
    const QCommandLineOption disconnectOption(
        "disconnect", "Disconnect the session once its transaction has ended.", "sid,serial");
    const QCommandLineOption cancelOption(
        "cancel-sql", "Cancel the statement the session runs; it stays connected.",
        "sid,serial[,@instance]");
    const QCommandLineOption activityOption(
        "activity",
        "Print the top list of the local activity history of the database instead of the "
        "sessions.");
    const QCommandLineOption sinceOption(
        "since", "With --activity: how far back from now, as 90s, 10m, 2h or 7d (10m).", "time");
    const QCommandLineOption byOption(
        "by", "With --activity: the top SQL_IDs, sessions or wait events (sql).",
        "sql|session|event");
    const QCommandLineOption noKeyringOption(
        "no-keyring", "Do not take the password from the desktop's keyring; ask for it.");
    parser.addOptions({allOption, csvOption, stdinOption, columnsOption, sortOption, filterOption,
                       activeOption, killOption, immediateOption, disconnectOption, cancelOption,
                       activityOption, sinceOption, byOption, noKeyringOption});
    parser.addPositionalArgument(
        "logon",
        "user/password@host, or user@host for the keyring's password or to be asked for it, "
        "or /@host to log on by external authentication (a wallet or the operating system); "
        "\" as sysdba\" (or sysoper, sysbackup, sysdg, syskm) at its end logs on with that "
        "privilege, and \"/ as sysdba\" to the local database through the operating system.");
    if (!parser.parse(QCoreApplication::arguments())) {
        return usageError(parser.errorText());
    }
    if (parser.isSet("help")) {
        parser.showHelp(0);
    }
    if (parser.isSet("version")) {
        parser.showVersion();
    }
    if (parser.positionalArguments().size() != 1) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return kUsageError;
    }

    ReportOptions options;
    options.allSessions = parser.isSet(allOption);
    options.csv = parser.isSet(csvOption);
    std::string error;
    if (parser.isSet(columnsOption)) {
        std::optional<std::vector<SessionColumnId>> columns =
            ParseColumns(parser.value(columnsOption).toStdString(), error);
        if (!columns) {
            return usageError(QString::fromStdString(error));
        }
        options.columns = std::move(*columns);
    }
    if (parser.isSet(sortOption)) {
        options.arrangement.sort = ParseSort(parser.value(sortOption).toStdString(), error);
        if (!options.arrangement.sort) {
            return usageError(QString::fromStdString(error));
        }
    }
    options.arrangement.filter = SessionFilter(parser.value(filterOption));
    options.arrangement.activeOnly = parser.isSet(activeOption);
    const std::pair<const QCommandLineOption*, EndSession> ends[] = {
        {&killOption,
         parser.isSet(immediateOption) ? EndSession::KillImmediately : EndSession::Kill},
        {&disconnectOption, EndSession::Disconnect},
        {&cancelOption, EndSession::CancelSql}};
    for (const auto& [option, kind] : ends) {
        if (!parser.isSet(*option)) {
            continue;
        }
        const auto id = ParseSessionId(parser.value(*option).toStdString(), error);
        if (!id) {
            return usageError(QString::fromStdString(error));
        }
        if (options.end) {
            return usageError(
                "--kill, --disconnect and --cancel-sql each end one session: give one.");
        }
        if (kind == EndSession::Disconnect && !id->instance.empty()) {
            return usageError(
                "--disconnect takes no instance: the server disconnects only sessions of the "
                "instance logged on to.");
        }
        options.end = EndRequest{kind, std::move(*id)};
    }
    if (parser.isSet(immediateOption) && !parser.isSet(killOption)) {
        return usageError("--immediate goes with --kill.");
    }

    std::optional<ActivityReportOptions> activity;
    if (parser.isSet(activityOption)) {
        activity.emplace();
        activity->csv = options.csv;
        if (parser.isSet(sinceOption)) {
            const auto since = ParseSince(parser.value(sinceOption).toStdString(), error);
            if (!since) {
                return usageError(QString::fromStdString(error));
            }
            activity->sinceSeconds = *since;
        }
        if (parser.isSet(byOption)) {
            const auto by = ParseTopBy(parser.value(byOption).toStdString(), error);
            if (!by) {
                return usageError(QString::fromStdString(error));
            }
            activity->by = *by;
        }
        if (options.end) {
            return usageError("--activity lists and ends no session: give one of them.");
        }
    } else if (parser.isSet(sinceOption) || parser.isSet(byOption)) {
        return usageError("--since and --by go with --activity.");
    }

    LogonArgument logon = ParseLogonArgument(parser.positionalArguments().first().toStdString());
    const bool external = logon.user.empty() && logon.password.empty() && logon.hasPassword;
    if (!external) {
        std::optional<std::string> password =
            passwordFor(logon, parser.isSet(stdinOption), !parser.isSet(noKeyringOption));
        if (!password) {
            return kUsageError;
        }
        logon.password.swap(*password);
        WipeSecret(*password);
    }

    const ExitStatus status =
        activity
            ? ReportActivity(logon, *activity, QDateTime::currentSecsSinceEpoch(), stdout, stderr)
            : ReportSessions(logon, options, stdout, stderr);
    WipeSecret(logon.password);
    return status;
}
