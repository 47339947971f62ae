// nimbra-sessions' renderings and its log-on argument.

#include <unistd.h>

#include <QProcess>
#include <QtTest>

#include "DisplayWidth.h"
#include "SessionTable.h"

class tst_SessionTable : public QObject {
    Q_OBJECT

private slots:
    void logonArgument_data() {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("host");
        QTest::newRow("all three") << "system/manager@sim:demo"
                                   << "system"
                                   << "manager"
                                   << "sim:demo";
        QTest::newRow("no host") << "system/manager"
                                 << "system"
                                 << "manager"
                                 << "";
        QTest::newRow("no password") << "system@sim:demo"
                                     << "system"
                                     << ""
                                     << "sim:demo";
        QTest::newRow("at sign in password") << "system/p@ss@db1"
                                             << "system"
                                             << "p@ss"
                                             << "db1";
        QTest::newRow("slash in password") << "system/a/b@db1"
                                           << "system"
                                           << "a/b"
                                           << "db1";
        QTest::newRow("easy connect host") << "u/p@//db:1521/orcl"
                                           << "u"
                                           << "p"
                                           << "//db:1521/orcl";
    }
    void logonArgument() {
        QFETCH(QString, argument);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, host);
        const LogonArgument parsed = ParseLogonArgument(argument.toStdString());
        QCOMPARE(QString::fromStdString(parsed.user), user);
        QCOMPARE(QString::fromStdString(parsed.password), password);
        QCOMPARE(QString::fromStdString(parsed.host), host);
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
        QTest::newRow("an Oracle failure: no table")
            << QStringList{"scott/tiger@sim:empty"} << QByteArray() << 1 << ""
            << "ORA-00942: table or view does not exist";
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
        QProcess program;
        // A session of its own has no controlling terminal to be asked on.
        program.setChildProcessModifier([] { ::setsid(); });
        program.start(NIMBRA_SESSIONS, arguments);
        program.write(input);
        program.closeWriteChannel();
        QVERIFY(program.waitForFinished(60000));
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        const QString err = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitCode(), status);
        QVERIFY2(output.isEmpty() ? out.isEmpty() : out.startsWith(output), qPrintable(out));
        QVERIFY2(err.contains(error), qPrintable(err));
    }

    void alignedColumnsLineUp() {
        const std::vector<SessionRow> rows = {
            {"SYSTEM", "7", "1", "ACTIVE", "oracle", "dbhost01", "sqlplus"},
            {"", "12", "345", "ACTIVE", "oracle", "a-much-longer-machine", ""}};
        const QStringList lines = QString::fromStdString(FormatAligned(rows)).split('\n');
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
        const std::vector<SessionRow> rows = {
            {"SYSTEM", "7", "1", "ACTIVE", osUser.toStdString(), "dbhost01", "sqlplus"},
            {"HR", "12", "345", "ACTIVE", "x", "m", "toad"}};
        const QStringList lines = QString::fromUtf8(FormatAligned(rows)).split('\n');
        QCOMPARE(lines.size(), 4);
        const auto column = [&](int line, const QString& text) {
            const QString before = lines[line].left(lines[line].indexOf(text));
            return int(DisplayWidth(before.toStdString()));
        };
        QCOMPARE(column(1, "dbhost01"), column(0, "Machine"));
        QCOMPARE(column(2, "m "), column(0, "Machine"));
        QVERIFY(!lines[1].contains('\t'));
    }

    // RFC 4180: fields with a comma, a quote or a line break are quoted, quotes doubled, line
    // breaks kept inside the quotes; UTF-8 as it is.
    void csvQuotesWhatNeedsIt() {
        const std::vector<SessionRow> rows = {
            {"A,B", "1", "2", "ACTIVE", "say \"hi\"", "line\nbreak", "M\u00fcller"}};
        QCOMPARE(
            FormatCsv(rows),
            std::string("Username,Sid,Serial,Status,OS User,Machine,Program\r\n"
                        "\"A,B\",1,2,ACTIVE,\"say \"\"hi\"\"\",\"line\nbreak\",M\u00fcller\r\n"));
    }
};

QTEST_GUILESS_MAIN(tst_SessionTable)
#include "tst_cli.moc"
