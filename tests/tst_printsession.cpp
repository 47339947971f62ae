// The Print command of the session list, end to end: the demo instance's sessions printed to a
// PDF file and read back, and the command's silent and failing roads.

#include <sys/resource.h>
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
#include "MainFrame.h"
#include "MessageBox.h"
#include "NimbraView.h"
#include "PrintEnvironment.h"
#include "QtPrinterContext.h"

namespace {
// The print dialog answered with a PDF printer on A5 landscape, printing all pages.
class PdfEnvironment : public CPrintEnvironment {
public:
    explicit PdfEnvironment(const QString& file) : printer(QPrinter::HighResolution) {
        printer.setOutputFileName(file);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape,
                                          QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter));
    }
    CPrinterContext* RunPrintDialog(CPrintInfo&, QWidget*) override {
        ++dialogs;
        return &context;
    }
    QString AskOutputFileName(QWidget*) override { return {}; }
    QPrinter printer;
    CQtPrinterContext context{printer};
    int dialogs = 0;
};

// The value whole, or a start of it ending in an ellipsis.
QString wholeOrCut(const QString& value) {
    QStringList forms{QRegularExpression::escape(value)};
    for (qsizetype length = 1; length < value.size(); ++length) {
        forms << QRegularExpression::escape(value.left(length)) + "\u2026";
    }
    return "(?:" + forms.join('|') + ")";
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

    CNimbraView* view() const { return m_frame->findChild<CNimbraView*>(); }
    void printWith(const QString& file) {
        m_environment = std::make_unique<PdfEnvironment>(file);
        SetPrintEnvironment(m_environment.get());
        QTest::keyClick(m_frame.get(), Qt::Key_P, Qt::ControlModifier);
    }

private slots:
    void init() {
        m_settings = std::make_unique<SettingsLocation>();
        resetDatabase();
        sim::Controls::instance().setFixedTime(1709647629);
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
        QVERIFY2(info.contains(QRegularExpression("Title: +\\(unknown\\)\n")), qPrintable(info));
        const int pages = QRegularExpression("Pages: +(\\d+)").match(info).captured(1).toInt();
        QVERIFY(pages >= 2);

        // Every page with its title, stamp, headings and footer; the rows in the list's order.
        QString rows;
        for (int page = 1; page <= pages; ++page) {
            const QString n = QString::number(page);
            const QString text = run("pdftotext", {"-layout", "-f", n, "-l", n, file, "-"});
            for (const QString& expected :
                 QStringList{"Oracle RDBMS Sessions", "Page " + n + " of " + QString::number(pages),
                             QString("Username"), QString("Program"),
                             QString("Nimbra Version 1.2.0"), QString("\u00A9 2026 Velmoor")}) {
                QVERIFY2(text.contains(expected), qPrintable(n + ": " + expected));
            }
            // The footer's two lines, the copyright under the program and its version.
            QVERIFY2(text.contains(QRegularExpression("Nimbra Version 1\\.2\\.0 *\n *\u00A9 2026 Velmoor")),
                     qPrintable(text.right(200)));
            rows += text;
        }
        const CListModel* model = view()->ListModel();
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

    void emptyList() {
        printWith(m_dir->filePath("empty.pdf"));
        QCOMPARE(m_environment->dialogs, 0);
        QVERIFY(m_messages.isEmpty());
        QVERIFY(!QFile::exists(m_dir->filePath("empty.pdf")));
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            QVERIFY(window == m_frame.get() || !window->isVisible());
        }
    }

    // A file that cannot be opened, or written whole, is told of; what was written of it is
    // removed, but a device is left alone.
    void fileFails_data() {
        QTest::addColumn<QString>("file");  // empty: one in the test folder, on a full disk
        QTest::addColumn<QString>("message");
        const QString notWritten = "Could not write the PDF file \"%1\": %2.";
        QTest::newRow("no folder") << "/nonexistent-folder/sessions.pdf"
                                   << "Could not start print job.";
        QTest::newRow("device full")
            << "/dev/full" << notWritten.arg("/dev/full", "No space left on device");
        QTest::newRow("disk full") << "" << notWritten.arg("%1", "File too large");
    }
    void fileFails() {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QVERIFY(LogOn("system", "manager", "sim:demo"));
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
