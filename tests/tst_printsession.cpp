// The Print command of the session list, end to end: the demo instance's sessions printed to a
// PDF file and read back, its title line, the destination it offers and remembers, and the
// command's silent and failing roads.

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#include <QApplication>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <memory>

#include "DbTestSupport.h"
#include "GuiTestSupport.h"
#include "PrintClock.h"
#include "PrintEnvironment.h"
#include "PrintInfo.h"
#include "PrintSettings.h"
#include "QtPrinterContext.h"
#include "SettingsStore.h"
#include "frame/MainFrame.h"
#include "frame/NimbraApp.h"
#include "sessionview/NimbraView.h"
#include "widgets/MessageBox.h"

namespace {
// The print dialog answered with a PDF file on A5 landscape, printing all pages; it notes what
// it was offered.
class PdfEnvironment : public CPrintEnvironment {
public:
    explicit PdfEnvironment(const QString& file)
        : printer(QPrinter::HighResolution), chosen{"lp0", true, file} {
        printer.setOutputFileName(file);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape,
                                          QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter));
    }
    CPrinterContext* RunPrintDialog(CPrintInfo& info, QWidget*) override {
        ++dialogs;
        offered = info.m_offered;
        info.m_chosen = chosen;
        return cancel ? nullptr : &context;
    }
    QString AskOutputFileName(QWidget*, const QString&) override { return {}; }
    QPrinter printer;
    CQtPrinterContext context{printer};
    CPrintDestination chosen;
    CPrintDestination offered;
    bool cancel = false;
    int dialogs = 0;
};

// A 64 KiB disk in a mount namespace of the test's own, so that it goes with the test however
// the test ends. Only root can make one.
class SmallDisk {
public:
    ~SmallDisk() {
        if (m_mounted) {
            umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
        }
    }
    // Empty, with errno's text in why, when it cannot be made.
    QString Mount(QString& why) {
        const QByteArray path = QFile::encodeName(m_dir.path());
        m_mounted = unshare(CLONE_NEWNS) == 0 &&
                    mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                    mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") == 0;
        why = m_mounted ? QString() : QString::fromLocal8Bit(std::strerror(errno));
        return m_mounted ? m_dir.path() : QString();
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// The value whole, or a start of it ending in an ellipsis.
QString wholeOrCut(const QString& value) {
    QStringList forms{QRegularExpression::escape(value)};
    for (qsizetype length = 1; length < value.size(); ++length) {
        forms << QRegularExpression::escape(value.left(length)) + "\u2026";
    }
    return "(?:" + forms.join('|') + ")";
}

// As the settings file holds it, whatever the run keeps in memory.
QString storedPrint(const QString& entry) {
    const QSettings file(SettingsStore::FilePath(), QSettings::IniFormat);
    return file.value("Print/" + entry, "(none)").toString();
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput());
}
}  // namespace

class tst_PrintSession : public QObject {
    Q_OBJECT

private:
    QStringList m_messages;
    std::unique_ptr<SettingsLocation> m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<PdfEnvironment> m_environment;
    std::unique_ptr<CMainFrame> m_frame;

    QByteArray m_home = qgetenv("HOME");

    CNimbraView* view() const { return m_frame->findChild<CNimbraView*>(); }
    void printWith(const QString& file, bool cancel = false) {
        m_environment = std::make_unique<PdfEnvironment>(file);
        m_environment->cancel = cancel;
        SetPrintEnvironment(m_environment.get());
        QTest::keyClick(m_frame.get(), Qt::Key_P, Qt::ControlModifier);
    }

private slots:
    void init() {
        m_settings = std::make_unique<SettingsLocation>();
        // The statements counted are the window's alone.
        SettingsStore::WriteProfileInt("Activity", "Sample", 0);
        resetDatabase();
        sim::Controls::instance().setFixedTime(1709647629);
        SetPrintClock([] { return QDateTime(QDate(2026, 12, 8), QTime(10, 42, 59)); });
        m_messages.clear();
        SetMessageBoxHandler([this](const QString& text, MsgButtons, MsgIcon) {
            m_messages << text + (m_frame->isEnabled() ? "" : " over a disabled window");
            return IDOK;
        });
        // NIMBRA_TEST_PDF_DIR keeps the printed file for a look.
        m_dir = std::make_unique<QTemporaryDir>();
        m_dir->setAutoRemove(!qEnvironmentVariableIsSet("NIMBRA_TEST_PDF_DIR"));
        m_frame = std::make_unique<CMainFrame>();
        m_frame->show();
        m_frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
    }
    void cleanup() {
        SetPrintEnvironment(nullptr);
        SetPrintClock({});
        qputenv("HOME", m_home);
        SetMessageBoxHandler({});
        m_frame.reset();
        VerifyNothingLeftBehind();
    }

    void demoList() {
        QVERIFY(LogOn("system", "manager", "sim:demo"));
        view()->RefreshList();
        const QString file = m_dir->filePath("sessions.pdf");
        printWith(file);
        if (qEnvironmentVariableIsSet("NIMBRA_TEST_PDF_DIR")) {
            QFile::copy(file, qEnvironmentVariable("NIMBRA_TEST_PDF_DIR") + "/sessions.pdf");
        }
        QVERIFY(m_messages.isEmpty());
        QVERIFY(QFile::exists(file));
        if (QStandardPaths::findExecutable("pdftotext").isEmpty() ||
            QStandardPaths::findExecutable("pdfinfo").isEmpty()) {
            QSKIP("pdftotext and pdfinfo (poppler-utils) are needed to read the PDF back");
        }
        const QString info = run("pdfinfo", {file});
        const int pages = QRegularExpression("Pages: +(\\d+)").match(info).captured(1).toInt();
        QVERIFY(pages >= 2);

        // Every page with its title, stamp, headings and footer; the rows in the list's order.
        QString rows;
        for (int page = 1; page <= pages; ++page) {
            const QString n = QString::number(page);
            const QString text = run("pdftotext", {"-layout", "-f", n, "-l", n, file, "-"});
            for (const QString& expected :
                 QStringList{"Oracle RDBMS Sessions - SYSTEM@sim:demo, 08-DEC-2026 10:42",
                             "Page " + n + " of " + QString::number(pages), QString("Username"),
                             QString("Program"), QString("Nimbra Version 1.2.0"),
                             QString("\u00A9 2026 Velmoor")}) {
                QVERIFY2(text.contains(expected), qPrintable(n + ": " + expected));
            }
            // The footer's two lines, the copyright under the program and its version.
            QVERIFY2(text.contains(
                         QRegularExpression("Nimbra Version 1\\.2\\.0 *\n *\u00A9 2026 Velmoor")),
                     qPrintable(text.right(200)));
            rows += text;
        }
        const CListModel* model = view()->Sessions();
        QVERIFY(model->GetItemCount() > 30);
        // A value too long for its column ends in an ellipsis: some user names are.
        QVERIFY(rows.contains(u'\u2026'));
        qsizetype at = 0;
        for (int row = 0; row < model->GetItemCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < 4; ++column) {
                cells << wholeOrCut(model->GetItemText(row, column));
            }
            const QRegularExpression line("\\n\\s*" + cells.join("\\s+") + "\\s");
            const QRegularExpressionMatch match = line.match(rows, at);
            QVERIFY2(match.hasMatch(), qPrintable(cells.join(' ')));
            at = match.capturedEnd() - 1;
        }
    }

    // The title line names the connection and the time printed; the PDF carries it as its title.
    void titleLine_data() {
        QTest::addColumn<bool>("loggedOn");
        QTest::addColumn<QString>("title");
        QTest::newRow("logged on")
            << true << "Oracle RDBMS Sessions - SYSTEM@sim:demo, 08-DEC-2026 10:42";
        QTest::newRow("logged off since: nothing printed") << false << QString();
    }
    void titleLine() {
        QFETCH(bool, loggedOn);
        QFETCH(QString, title);
        QVERIFY(LogOn("system", "manager", "sim:demo"));
        view()->RefreshList();
        if (!loggedOn) {
            LogOff();
        }
        const QString file = m_dir->filePath("sessions.pdf");
        printWith(file);
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(QFile::exists(file), loggedOn);
        if (!loggedOn) {
            return;
        }
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
            QSKIP("pdftotext and pdfinfo (poppler-utils) are needed to read the PDF back");
        }
        const QString info = run("pdfinfo", {file});
        QVERIFY2(info.contains(QRegularExpression("(^|\n)Title: +" +
                                                  QRegularExpression::escape(title) + "\n")),
                 qPrintable(info));
        QVERIFY(run("pdftotext", {"-l", "1", file, "-"}).contains(title));
    }

    void emptyList() {
        printWith(m_dir->filePath("empty.pdf"));
        QCOMPARE(m_environment->dialogs, 0);
        QVERIFY(m_messages.isEmpty());
        QVERIFY(!QFile::exists(m_dir->filePath("empty.pdf")));
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            QVERIFY(window == m_frame.get() || !window->isVisible());
        }
    }

    // The file offered lies in a folder that exists: Documents when there is one, else the
    // home folder; the destination an earlier run stored comes first while its folder exists.
    void offered_data() {
        QTest::addColumn<bool>("documents");
        QTest::addColumn<QString>("storedFile");  // under the home folder; empty: none stored
        QTest::addColumn<QString>("offeredFile");
        QTest::newRow("Documents") << true << ""
                                   << "Documents/nimbra-sessions.pdf";
        QTest::newRow("no Documents") << false << ""
                                      << "nimbra-sessions.pdf";
        QTest::newRow("stored file") << true << "kept/x.pdf"
                                     << "kept/x.pdf";
        QTest::newRow("stored file's folder gone") << false << "gone/x.pdf"
                                                   << "nimbra-sessions.pdf";
    }
    void offered() {
        QFETCH(bool, documents);
        QFETCH(QString, storedFile);
        QFETCH(QString, offeredFile);
        const QTemporaryDir home;
        qputenv("HOME", QFile::encodeName(home.path()));
        QVERIFY(QDir(home.path()).mkdir("kept"));
        QVERIFY(!documents || QDir(home.path()).mkdir("Documents"));
        if (!storedFile.isEmpty()) {
            QVERIFY(SettingsStore::WriteProfileValues(
                "Print", {{"Printer", "lp1"}, {"ToFile", 1}, {"File", home.filePath(storedFile)}}));
        }
        QVERIFY(LogOn("system", "manager", "sim:demo"));
        view()->RefreshList();
        printWith(m_dir->filePath("sessions.pdf"), true);
        QCOMPARE(m_environment->offered.printer, QString(storedFile.isEmpty() ? "" : "lp1"));
        QCOMPARE(m_environment->offered.toFile, !storedFile.isEmpty());
        QCOMPARE(m_environment->offered.file, home.filePath(offeredFile));
    }

    // A job that started stores where it went for the next run; a job that never started, or
    // the demo's, stores nothing.
    void remembered_data() {
        QTest::addColumn<QString>("job");
        QTest::addColumn<QStringList>("stored");  // Printer, ToFile, File
        const QStringList none{"(none)", "(none)", "(none)"};
        QTest::newRow("to a file") << "file" << QStringList{"lp0", "1", "%1"};
        QTest::newRow("to a printer") << "printer" << QStringList{"lp2", "0", "/kept.pdf"};
        QTest::newRow("dialog cancelled") << "cancel" << none;
        QTest::newRow("not started") << "/nonexistent-folder/x.pdf" << none;
        QTest::newRow("demo") << "demo" << none;
    }
    void remembered() {
        QFETCH(QString, job);
        QFETCH(QStringList, stored);
        if (job == "demo") {
            // A main window logs off as it goes.
            m_frame.reset();
            m_frame = CreateMainWindow(true);
            m_frame->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_frame.get()));
        } else {
            QVERIFY(LogOn("system", "manager", "sim:demo"));
        }
        view()->RefreshList();
        const QString file = job.startsWith('/') ? job : m_dir->filePath("sessions.pdf");
        m_environment = std::make_unique<PdfEnvironment>(file);
        if (job == "printer") {
            m_environment->chosen = {"lp2", false, "/kept.pdf"};
        }
        m_environment->cancel = job == "cancel";
        SetPrintEnvironment(m_environment.get());
        QTest::keyClick(m_frame.get(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(m_environment->dialogs, 1);
        QCOMPARE(m_messages.size(), job.startsWith('/') ? 1 : 0);
        QCOMPARE((QStringList{storedPrint("Printer"), storedPrint("ToFile"), storedPrint("File")}),
                 stored.replaceInStrings("%1", file));
    }

    // A file that cannot be opened, or written whole, is told of with the reason; what was
    // written of it is removed, but a device is left alone.
    void fileFails_data() {
        QTest::addColumn<QString>("file");  // empty: one in the test folder, over the size limit
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("message");
        const QString notWritten = "Could not write the PDF file \"%1\": %2.";
        QTest::newRow("no folder")
            << "/nonexistent-folder/sessions.pdf"
            << "sim:demo"
            << "Could not start print job.\nThe PDF file \"/nonexistent-folder/sessions.pdf\" "
               "could not be opened: No such file or directory.";
        QTest::newRow("device full")
            << "/dev/full"
            << "sim:demo" << notWritten.arg("/dev/full", "No space left on device");
        QTest::newRow("file size limit") << ""
                                         << "sim:demo" << notWritten.arg("%1", "File too large");
        // 10,000 sessions fill the small disk pages after the first.
        QTest::newRow("disk full after the first page")
            << "small disk"
            << "sim:large" << notWritten.arg("%1", "No space left on device");
    }
    void fileFails() {
        QFETCH(QString, file);
        QFETCH(QString, host);
        QFETCH(QString, message);
        SmallDisk disk;
        if (file == "small disk") {
            if (geteuid() != 0) {
                QSKIP("Only root can mount the small disk; the file size limit row stands in.");
            }
            QString why;
            file = disk.Mount(why);
            QVERIFY2(!file.isEmpty(), qPrintable("no small disk: " + why));
            file += "/sessions.pdf";
        }
        QVERIFY(LogOn("system", "manager", qPrintable(host)));
        view()->RefreshList();
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        if (file.isEmpty()) {
            file = m_dir->filePath("sessions.pdf");
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit full{4096, saved.rlim_max};
            setrlimit(RLIMIT_FSIZE, &full);
        }
        printWith(file);
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(m_messages, QStringList{message.replace("%1", file)});
        QVERIFY(!QFileInfo(file).isFile());
        QVERIFY(QFileInfo::exists("/dev/full"));
    }
};

QTEST_MAIN(tst_PrintSession)
#include "tst_printsession.moc"
