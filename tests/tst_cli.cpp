// nimbra-sessions' renderings, its log-on argument, and the program as scripts and users run it.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QProcess>
#include <QtTest>
#include <csignal>

#include "DisplayWidth.h"
#include "Keyring.h"
#include "KeyringTestSupport.h"
#include "ProcessTestSupport.h"
#include "SessionTable.h"
#include "SessionsReport.h"
#include "Sim.h"

namespace {
const std::vector<SessionColumnId> kSeven = ListColumns({});

// Sessions with the values of the seven columns.
SessionList listOf(std::vector<std::vector<std::string>> rows) {
    SessionList list{kSeven, {}};
    for (std::vector<std::string>& values : rows) {
        list.rows.push_back({std::move(values)});
    }
    return list;
}

// The outcome of one run of nimbra-sessions.
struct Run {
    int status = -1;
    QString out;
    QString err;
};

// Runs the program in a session of its own, without a terminal to ask on.
Run runProgram(const QStringList& arguments, const QByteArray& input = {},
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
               const QString& folder = {}) {
    QProcess program;
    program.setChildProcessModifier([] { ::setsid(); });
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder);
    program.start(NIMBRA_SESSIONS, arguments);
    program.write(input);
    program.closeWriteChannel();
    Run run;
    if (program.waitForFinished(60000) && program.exitStatus() == QProcess::NormalExit) {
        run.status = program.exitCode();
    }
    run.out = QString::fromUtf8(program.readAllStandardOutput());
    run.err = QString::fromUtf8(program.readAllStandardError());
    return run;
}

QString readAll(std::FILE* stream) {
    std::rewind(stream);
    QByteArray text;
    for (int c = 0; (c = std::fgetc(stream)) != EOF;) {
        text += char(c);
    }
    return QString::fromUtf8(text);
}

// Reads what the program writes to the terminal until it holds text; false after 30 seconds.
bool awaitOnTerminal(int terminal, const QByteArray& text) {
    QByteArray seen;
    pollfd ready{terminal, POLLIN, 0};
    while (!seen.contains(text) && ::poll(&ready, 1, 30000) > 0) {
        char buffer[256];
        const ssize_t n = ::read(terminal, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        seen.append(buffer, n);
    }
    return seen.contains(text);
}
}  // namespace

class tst_SessionTable : public QObject {
    Q_OBJECT

private slots:
    void logonArgument_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("mode");
        QTest::newRow("all three") << "system/manager@sim:demo"
                                   << "system"
                                   << "manager"
                                   << "sim:demo"
                                   << "Normal";
        QTest::newRow("as sysdba") << "sys/secret@db as sysdba"
                                   << "sys"
                                   << "secret"
                                   << "db"
                                   << "SYSDBA";
        QTest::newRow("any case and blanks") << "sys/secret@db  AS  SysOper "
                                             << "sys"
                                             << "secret"
                                             << "db"
                                             << "SYSOPER";
        QTest::newRow("the local database through the operating system") << "/ as sysdba"
                                                                         << ""
                                                                         << ""
                                                                         << ""
                                                                         << "SYSDBA";
        QTest::newRow("as a name, not a privilege") << "sys/secret@db as sysfoo"
                                                    << "sys"
                                                    << "secret"
                                                    << "db as sysfoo"
                                                    << "Normal";
        QTest::newRow("no host") << "system/manager"
                                 << "system"
                                 << "manager"
                                 << ""
                                 << "Normal";
        QTest::newRow("no password") << "system@sim:demo"
                                     << "system"
                                     << ""
                                     << "sim:demo"
                                     << "Normal";
        QTest::newRow("at sign in password") << "system/p@ss@db1"
                                             << "system"
                                             << "p@ss"
                                             << "db1"
                                             << "Normal";
        QTest::newRow("slash in password") << "system/a/b@db1"
                                           << "system"
                                           << "a/b"
                                           << "db1"
                                           << "Normal";
        QTest::newRow("easy connect host") << "u/p@//db:1521/orcl"
                                           << "u"
                                           << "p"
                                           << "//db:1521/orcl"
                                           << "Normal";
    }
    void logonArgument() {
        QFETCH(QString, argument);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, host);
        QFETCH(QString, mode);
        const LogonArgument parsed = ParseLogonArgument(argument.toStdString());
        QCOMPARE(QString::fromStdString(parsed.user), user);
        QCOMPARE(QString::fromStdString(parsed.password), password);
        QCOMPARE(QString::fromStdString(parsed.host), host);
        QCOMPARE(QString(ConnectAsName(parsed.mode)), mode);
    }

    // The program as a script runs it, without a terminal: what goes where, and its status.
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");  // how standard output begins; empty: nothing
        QTest::addColumn<QString>("error");   // what standard error holds
        const QString heading = "Username  Sid  Serial";
        QTest::newRow("password in the argument")
            << QStringList{"system/manager@sim:empty"} << QByteArray() << 0 << heading << "";
        QTest::newRow("password on standard input")
            << QStringList{"--password-stdin", "system@sim:empty"} << QByteArray("manager\n") << 0
            << heading << "";
        QTest::newRow("no terminal to ask on")
            << QStringList{"system@sim:empty"} << QByteArray() << 2 << ""
            << "no terminal to ask for the password of system";
        QTest::newRow("two passwords")
            << QStringList{"--password-stdin", "system/manager@sim:empty"}
            << QByteArray("manager\n") << 2 << ""
            << "--password-stdin";
        QTest::newRow("external authentication")
            << QStringList{"/@sim:empty"} << QByteArray() << 1 << ""
            << "ORA-01017: invalid username/password; logon denied";
        // One refusal is one message, not one for every later step of the statement.
        QTest::newRow("an Oracle failure: no table")
            << QStringList{"scott/tiger@sim:demo"} << QByteArray() << 1 << ""
            << "ORACLE Error when processing OCI function OEXEC, OEXN\n"
               "ORA-00942: table or view does not exist\n";
        // The window's columns, sort and filter: the demo's three waiters, last SID first.
        QTest::newRow("columns, sort, filter, active")
            << QStringList{"--columns", "sid,event,blocking_session",
                           "--sort",    "sid:desc",
                           "--filter",  "event:enq",
                           "--active",  "system/manager@sim:demo"}
            << QByteArray() << 0 << "Sid  Event                          Blocking Session\n180"
            << "";
        // The demo's scan and backup, as far as they had come when the instance started.
        QTest::newRow("progress") << QStringList{"--columns", "sid,program,progress", "--filter",
                                                 "progress:min", "system/manager@sim:demo"}
                                  << QByteArray() << 0
                                  << "Sid  Program                             Progress\n"
                                     "182  python3.11@etl-node-03 (TNS V1-V3)  45% - 6 min left\n"
                                     "185  rman@dbhost01 (TNS V1-V3)           41% - 35 min left\n"
                                  << "";
        QTest::newRow("unknown column")
            << QStringList{"--columns", "sid,colour", "x/y@sim:demo"} << QByteArray() << 2 << ""
            << "there is no column \"colour\"; the columns are";
        QTest::newRow("sort direction")
            << QStringList{"--sort", "sid:up", "x/y@sim:demo"} << QByteArray() << 2 << ""
            << "--sort takes a column, then :asc or :desc, not \":up\".";
        // The demo's blocker is 165,13129; 180,65444 waits for it.
        const QString demo = "system/manager@sim:demo";
        QTest::newRow("kill the blocker immediately")
            << QStringList{"--kill", "165,13129", "--immediate", demo} << QByteArray() << 0 << ""
            << "";
        QTest::newRow("a busy session is marked for kill")
            << QStringList{"--kill", "180,65444", demo} << QByteArray() << 0 << ""
            << "Session 180,65444 is marked for kill.";
        QTest::newRow("cancel a waiter's SQL")
            << QStringList{"--cancel-sql", "180,65444", demo} << QByteArray() << 0 << ""
            << "";
        QTest::newRow("disconnect without the privilege")
            << QStringList{"--disconnect", "165,13129", "monitor/monitor@sim:demo"} << QByteArray()
            << 1 << ""
            << "ORA-01031: insufficient privileges";
        QTest::newRow("a session that is gone")
            << QStringList{"--kill", "99999,1", demo} << QByteArray() << 1 << ""
            << "ORA-00030: User session ID does not exist.";
        QTest::newRow("not a session id")
            << QStringList{"--cancel-sql", "165;13129", demo} << QByteArray() << 2 << ""
            << "a session is named by its SID and serial#, such as 12,345, and on a cluster its "
               "instance, such as 12,345,@2, not \"165;13129\".";
        // On the cluster the demo's blocker is 85,65161 on instance 2.
        const QString rac = "system/manager@sim:rac";
        QTest::newRow("a cluster's sessions name their instance")
            << QStringList{"--columns", "sid,serial", "--filter", "sid:85", rac} << QByteArray()
            << 0 << "Sid  Serial  Instance\n85   65161   2\n"
            << "";
        QTest::newRow("kill on the blocker's instance")
            << QStringList{"--kill", "85,65161,@2", "--immediate", rac} << QByteArray() << 0 << ""
            << "";
        QTest::newRow("kill on another instance than the session's")
            << QStringList{"--kill", "85,65161,@3", rac} << QByteArray() << 1 << ""
            << "ORA-00030: User session ID does not exist.";
        QTest::newRow("a container root's sessions name their container")
            << QStringList{"--columns",         "sid",   "--filter",
                           "container:archive", "--all", "system/manager@sim:cdb"}
            << QByteArray() << 0 << "Sid  Container\n"
            << "";
        QTest::newRow("a disconnect names no instance")
            << QStringList{"--disconnect", "85,65161,@2", rac} << QByteArray() << 2 << ""
            << "--disconnect takes no instance";
        QTest::newRow("unknown option")
            << QStringList{"--bogus", "system/manager@sim:empty"} << QByteArray() << 2 << ""
            << "Unknown option 'bogus'";
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(QString, output);
        QFETCH(QString, error);
        const Run run = runProgram(arguments, input);
        QCOMPARE(run.status, status);
        QVERIFY2(output.isEmpty() ? run.out.isEmpty() : run.out.startsWith(output),
                 qPrintable(run.out));
        QVERIFY2(error.startsWith("ORACLE Error") ? run.err == error : run.err.contains(error),
                 qPrintable(run.err));
    }

    // user@host takes the password the keyring holds for that user and host before it asks;
    // --no-keyring asks, and here finds no terminal to ask on.
    void passwordFromTheKeyring() {
        PrivateKeyring keyring;
        QString why;
        QVERIFY2(keyring.Start(PrivateKeyring::State::Unlocked, why), qPrintable(why));
        QCOMPARE(Keyring::Write("system", "sim:empty", "manager"), Keyring::Answer::Done);
        const Run found = runProgram({"system@sim:empty"});
        QCOMPARE(found.err, QString());
        QCOMPARE(found.status, 0);
        const Run asked = runProgram({"--no-keyring", "system@sim:empty"});
        QCOMPARE(asked.status, 2);
        QVERIFY2(asked.err.contains("no terminal to ask for the password"), qPrintable(asked.err));
        QCOMPARE(runProgram({"scott@sim:empty"}).status, 2);
    }

    // While it waits for its password, a core dump or another process could read it.
    void programIsNotDumpable() {
        QVERIFY(RunsUndumpable(NIMBRA_SESSIONS, {"--password-stdin", "system@sim:empty"}));
    }

    // A library left in the working folder under a name the program looks for is never loaded,
    // whichever way the environment leads there.
    void workingFolderLibraryIgnored_data() {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("error");
        QTest::newRow("a library the program starts with") << "libQt6Core.so.6"
                                                           << ""
                                                           << ""
                                                           << "ORACLE Error";
        QTest::newRow("empty LD_LIBRARY_PATH entry") << "libclntsh.so"
                                                     << "LD_LIBRARY_PATH"
                                                     << "/nonexistent::"
                                                     << "ORACLE Error";
        QTest::newRow("relative LD_LIBRARY_PATH entry") << "libclntsh.so.19.1"
                                                        << "LD_LIBRARY_PATH"
                                                        << "."
                                                        << "ORACLE Error";
        QTest::newRow("relative ORACLE_HOME") << "lib/libclntsh.so"
                                              << "ORACLE_HOME"
                                              << "."
                                              << "$ORACLE_HOME/lib (not a full path)";
        QTest::newRow("relative NIMBRA_OCI_LIBRARY")
            << "libclntsh.so"
            << "NIMBRA_OCI_LIBRARY"
            << "./libclntsh.so"
            << "NIMBRA_OCI_LIBRARY names ./libclntsh.so, which is not a full path";
    }
    void workingFolderLibraryIgnored() {
        QFETCH(QString, planted);
        QFETCH(QString, variable);
        QFETCH(QString, value);
        QFETCH(QString, error);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath(QFileInfo(folder.filePath(planted)).path()));
        QVERIFY(QFile::copy(PLANTED_LIBRARY, folder.filePath(planted)));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LD_LIBRARY_PATH", "ORACLE_HOME", "NIMBRA_OCI_LIBRARY"}) {
            environment.remove(name);
        }
        if (!variable.isEmpty()) {
            environment.insert(variable, value);
        }
        const Run run = runProgram({"nobody/secret@nosuchdb"}, {}, environment, folder.path());
        QVERIFY2(!run.err.contains("planted library loaded"), qPrintable(run.err));
        QCOMPARE(run.status, int(kOracleFailure));
        QVERIFY2(run.err.contains(error), qPrintable(run.err));
    }

    // At the password prompt, echo comes back however the question ends: Ctrl+C and SIGTERM end
    // the program as those signals do, the end of the input is named as such.
    void passwordPromptRestoresEcho_data() {
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<int>("sent");  // a signal sent to the program, 0 for none
        QTest::addColumn<int>("endingSignal");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        QTest::newRow("Ctrl+C") << QByteArray("\x03") << 0 << int(SIGINT) << 0 << "";
        QTest::newRow("SIGTERM") << QByteArray() << int(SIGTERM) << int(SIGTERM) << 0 << "";
        QTest::newRow("Ctrl+D") << QByteArray("\x04") << 0 << 0 << int(kUsageError)
                                << "no password was given: the input ended at the password prompt.";
    }
    void passwordPromptRestoresEcho() {
        QFETCH(QByteArray, typed);
        QFETCH(int, sent);
        QFETCH(int, endingSignal);
        QFETCH(int, status);
        QFETCH(QString, error);
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        const QByteArray slaveName = ::ptsname(master);
        const int slave = ::open(slaveName.constData(), O_RDWR | O_NOCTTY);
        QVERIFY(slave >= 0);
        QProcess program;
        // The terminal becomes the controlling terminal of the program's own session.
        program.setChildProcessModifier([&slaveName] {
            ::setsid();
            ::open(slaveName.constData(), O_RDWR);
        });
        program.start(NIMBRA_SESSIONS, {"system@sim:empty"});
        QVERIFY(awaitOnTerminal(master, "Enter password: "));
        termios settings{};
        QVERIFY(::tcgetattr(slave, &settings) == 0 && (settings.c_lflag & ECHO) == 0);
        if (sent != 0) {
            ::kill(pid_t(program.processId()), sent);
        }
        QCOMPARE(::write(master, typed.constData(), typed.size()), ssize_t(typed.size()));
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(),
                 endingSignal != 0 ? QProcess::CrashExit : QProcess::NormalExit);
        QCOMPARE(program.exitCode(), endingSignal != 0 ? endingSignal : status);
        QVERIFY(::tcgetattr(slave, &settings) == 0 && (settings.c_lflag & ECHO) != 0);
        QVERIFY(QString::fromUtf8(program.readAllStandardError()).contains(error));
        ::close(slave);
        ::close(master);
    }

    // A failed log-off after the sessions were read: the list still printed whole, the line on
    // standard error, and a status of its own.
    void failedLogOff_data() {
        QTest::addColumn<bool>("csv");
        QTest::addColumn<bool>("logOffFails");
        QTest::addColumn<QString>("heading");
        QTest::newRow("table, log-off fails") << false << true << "Username  Sid";
        QTest::newRow("CSV, log-off fails") << true << true << "Username,Sid";
        QTest::newRow("table, log-off succeeds") << false << false << "Username  Sid";
    }
    void failedLogOff() {
        QFETCH(bool, csv);
        QFETCH(bool, logOffFails);
        QFETCH(QString, heading);
        sim::Controls::instance().reset();
        if (logOffFails) {
            sim::Controls::instance().failCall(sim::Call::Logoff, 1, 3113);
        }
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        ReportOptions options;
        options.csv = csv;
        const ExitStatus status =
            ReportSessions(ParseLogonArgument("system/manager@sim:empty"), options, out, err);
        const QString printed = readAll(out);
        QCOMPARE(readAll(err), logOffFails ? "Error on disconnect.\n" : "");
        QCOMPARE(status, logOffFails ? kLogOffFailure : kDone);
        QVERIFY2(printed.startsWith(heading) && printed.count('\n') == 2, qPrintable(printed));
        std::fclose(out);
        std::fclose(err);
    }

    void alignedColumnsLineUp() {
        const SessionList rows =
            listOf({{"SYSTEM", "7", "1", "ACTIVE", "oracle", "dbhost01", "sqlplus"},
                    {"", "12", "345", "ACTIVE", "oracle", "a-much-longer-machine", ""}});
        const QStringList lines = QString::fromStdString(FormatAligned(rows, kSeven)).split('\n');
        QCOMPARE(lines.size(), 4);  // heading, two rows, final newline
        QCOMPARE(lines[0], QString("Username  Sid  Serial  Status  OS User  Machine                "
                                   "Program"));
        QCOMPARE(lines[1].indexOf("sqlplus"), lines[0].indexOf("Program"));
        QCOMPARE(lines[2].indexOf("12"), lines[0].indexOf("Sid"));
        QVERIFY(!lines[2].endsWith(' '));
    }

    // Padding counts what a terminal shows: accents one column, East Asian characters two,
    // combining marks none; a tab in a value does not break the row.
    void alignedByDisplayWidth_data() {
        QTest::addColumn<QString>("osUser");
        QTest::newRow("ASCII") << "oracle";
        QTest::newRow("accented") << QString::fromUtf8("jos\u00e9.m\u00fcller");
        QTest::newRow("combining accent") << QString::fromUtf8("jose\u0301");
        QTest::newRow("East Asian") << QString::fromUtf8("\u6570\u636e\u540c\u6b65");
        QTest::newRow("tab inside") << "two\twords";
    }
    void alignedByDisplayWidth() {
        QFETCH(QString, osUser);
        const SessionList rows =
            listOf({{"SYSTEM", "7", "1", "ACTIVE", osUser.toStdString(), "dbhost01", "sqlplus"},
                    {"HR", "12", "345", "ACTIVE", "x", "m", "toad"}});
        const QStringList lines = QString::fromUtf8(FormatAligned(rows, kSeven)).split('\n');
        QCOMPARE(lines.size(), 4);
        const auto column = [&](int line, const QString& text) {
            const QString before = lines[line].left(lines[line].indexOf(text));
            return int(DisplayWidth(before.toStdString()));
        };
        QCOMPARE(column(1, "dbhost01"), column(0, "Machine"));
        QCOMPARE(column(2, "m "), column(0, "Machine"));
        QVERIFY(!lines[1].contains('\t'));
    }

    // A value can carry anything a client sends as its program or machine name: shown on a
    // terminal, nothing in it steers the terminal; a CSV file keeps it as it is.
    void controlCharactersShown_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("escape sequence")
            << QByteArray("sql\x1b[2J\x1b]0;x\x07plus") << QByteArray("sql?[2J?]0;x?plus");
        QTest::newRow("C0 controls and DEL")
            << QByteArray("a\x01\x08\x7f\x00z", 6) << QByteArray("a????z");
        QTest::newRow("C1 controls, encoded and stray") << QByteArray(
                                                               "a\xc2\x9b"
                                                               "31m\x9b\x85z")
                                                        << QByteArray("a?31m??z");
        QTest::newRow("tab and line breaks") << QByteArray("a\tb\r\nc") << QByteArray("a b  c");
        QTest::newRow("printable text kept")
            << QByteArray("M\xc3\xbcller \xe6\x95\xb0") << QByteArray("M\xc3\xbcller \xe6\x95\xb0");
    }
    void controlCharactersShown() {
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, shown);
        const std::string text = value.toStdString();
        const SessionList rows = listOf({{"HR", "1", "2", "ACTIVE", "x", "m", text}});
        const auto lastLine = [](const std::string& out) {
            const QByteArray lines = QByteArray::fromStdString(out).trimmed();
            return lines.mid(lines.lastIndexOf('\n') + 1);
        };
        QVERIFY(lastLine(FormatAligned(rows, kSeven)).endsWith(shown));
        const QByteArray onTerminal = lastLine(FormatCsv(rows, kSeven, Destination::Terminal));
        QVERIFY2(onTerminal.endsWith(shown) || onTerminal.endsWith(shown + '"'), onTerminal);
        QVERIFY(FormatCsv(rows, kSeven).find(text) != std::string::npos);
    }

    // RFC 4180: fields with a comma, a quote or a line break are quoted, quotes doubled, line
    // breaks kept inside the quotes; UTF-8 as it is.
    void csvQuotesWhatNeedsIt() {
        const SessionList rows =
            listOf({{"A,B", "1", "2", "ACTIVE", "say \"hi\"", "line\nbreak", "M\u00fcller"}});
        QCOMPARE(
            FormatCsv(rows, kSeven),
            std::string("Username,Sid,Serial,Status,OS User,Machine,Program\r\n"
                        "\"A,B\",1,2,ACTIVE,\"say \"\"hi\"\"\",\"line\nbreak\",M\u00fcller\r\n"));
    }
};

QTEST_GUILESS_MAIN(tst_SessionTable)
#include "tst_cli.moc"
