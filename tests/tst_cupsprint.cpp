// Printing to CUPS queues through the program's own print path, against a CUPS server of the
// test's own: started in a temporary folder with PDF printer queues that write each job to a file,
// stopped at the end. Jobs that arrive whole, jobs that never arrive, queues that refuse them, and
// the print dialog that offers the last job's choice.

#include <sys/prctl.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <functional>

#include "ListReport.h"
#include "PrintEnvironment.h"
#include "PrintListSource.h"
#include "PrintProgress.h"
#include "QtPrinterContext.h"

namespace {
// Runs a program; false when it fails.
bool Run(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.start(program, arguments);
    const bool done = process.waitForFinished() && process.exitStatus() == QProcess::NormalExit &&
                      process.exitCode() == 0;
    if (output) {
        *output = QString::fromUtf8(process.readAll());
    }
    return done;
}

// cupsd in the foreground with its configuration, spool, logs and socket in a temporary folder;
// this process's CUPS clients and its temporary files go there too.
class PrivateCups {
public:
    ~PrivateCups() {
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }
    // False, with why, when the server does not come up.
    bool Start(QString& why) {
        const QString d = m_dir.path();
        for (const char* sub : {"spool", "tmp", "out", "client"}) {
            QDir(d).mkdir(sub);
        }
        // cupsd says so when it finds no configuration.
        const auto write = [&d](const QString& name, const char* text) {
            QFile file(d + "/" + name);
            file.open(QIODevice::WriteOnly);
            file.write(QString(text).arg(d).toUtf8());
        };
        write("files.conf",
              "ServerRoot %1\nStateDir %1\nCacheDir %1\nRequestRoot %1/spool\n"
              "TempDir %1/tmp\nErrorLog %1/log\nPrintcap %1/printcap\nFileDevice Yes\n");
        write("cupsd.conf",
              "Listen %1/socket\nBrowsing No\n<Location />\nAllow all\n</Location>\n"
              "<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n");
        qputenv("CUPS_SERVER", QFile::encodeName(d + "/socket"));
        qputenv("TMPDIR", QFile::encodeName(d + "/client"));
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
        qputenv("PATH", qgetenv("PATH") + ":/usr/sbin");
        m_daemon.setProcessChannelMode(QProcess::MergedChannels);
        // The server goes with the test, however the test ends.
        m_daemon.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        const QString cupsd = QStandardPaths::findExecutable("cupsd");
        m_daemon.start(cupsd, {"-f", "-c", d + "/cupsd.conf", "-s", d + "/files.conf"});
        QString state;
        for (int i = 0; i < 100 && m_daemon.state() != QProcess::NotRunning; ++i) {
            if (Run("lpstat", {"-r"}, &state) && state == "scheduler is running\n") {
                return true;
            }
            QTest::qWait(100);
        }
        QFile log(d + "/log");
        log.open(QIODevice::ReadOnly);
        why = "cupsd (" + cupsd + ") did not start: " + m_daemon.readAll() + log.readAll();
        return false;
    }
    bool AddQueue(const QString& name) {
        return Run("lpadmin", {"-p", name, "-E", "-v", "file://" + Output(name), "-P",
                               "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd"});
    }
    QString Output(const QString& queue) const { return m_dir.filePath("out/" + queue); }
    bool ClientTempEmpty() const { return QDir(m_dir.filePath("client")).isEmpty(); }

private:
    QTemporaryDir m_dir{QDir::tempPath() + "/nimbra-cups-XXXXXX"};
    QProcess m_daemon;
};

// The page numbers a PDF file's pages are stamped with, in the file's order.
QString Stamps(const QString& pdf) {
    QString text;
    QStringList pages;
    Run("pdftotext", {pdf, "-"}, &text);
    for (const auto& match : QRegularExpression("Page (\\d+) of").globalMatch(text)) {
        pages << match.captured(1);
    }
    return pages.join(' ');
}

// How far the text of a PDF file's first page keeps from the top and the right edge, in points.
QPointF TextTopRightGap(const QString& pdf) {
    QString html;
    Run("pdftotext", {"-bbox", "-l", "1", pdf, "-"}, &html);
    const double width =
        QRegularExpression("<page width=\"([\\d.]+)\"").match(html).captured(1).toDouble();
    double top = 1e9;
    double right = 0;
    const QRegularExpression word("<word xMin=\"[\\d.]+\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\"");
    for (const auto& match : word.globalMatch(html)) {
        top = qMin(top, match.captured(1).toDouble());
        right = qMax(right, match.captured(2).toDouble());
    }
    return {top, width - right};
}

// A report of 200 rows on three pages that notes the pages it draws and whether its job ended.
class Report : public CListReport, public PrintListSource {
public:
    explicit Report(QStringList& messages) {
        SetPageFormat("Page %d of %d");
        SetList(this);
        SetMessageHandler([&messages](const QString& text) { messages << text; });
    }
    int RowCount() const override { return 200; }
    int ColumnCount() const override { return 2; }
    bool GetColumn(int, PrintListColumn& out) const override {
        out.width = 100;
        return true;
    }
    QString CellText(int row, int) const override { return QString("row %1").arg(row); }
    std::function<void(unsigned)> duringPage = [](unsigned) {};
    QList<unsigned> printed;
    bool ended = false;

protected:
    void OnPrint(CPrinterContext& dc, CPrintInfo& info) override {
        CListReport::OnPrint(dc, info);
        printed << info.m_nCurPage;
        duringPage(info.m_nCurPage);
    }
    void OnEndPrinting(CPrinterContext&, CPrintInfo&) override { ended = true; }
};

// The print dialog answered with a CUPS queue and settings of the test's.
class QueueEnvironment : public CPrintEnvironment {
public:
    explicit QueueEnvironment(const QString& queue) : printer(QPrinter::HighResolution) {
        printer.setPrinterName(queue);
    }
    CPrinterContext* RunPrintDialog(CPrintInfo&, QWidget*) override { return &context; }
    QString AskOutputFileName(QWidget*, const QString&) override { return {}; }
    QPrinter printer;
    CQtPrinterContext context{printer};
};

// Answers the next print dialog: notes the printer and file it offers, then chooses the printer
// and file given, with the copies and page order, and confirms; cancels with no printer given.
void AnswerDialog(QStringList& offered, const QStringList& choice, int copies, bool reverse) {
    QTimer::singleShot(0, [=, &offered] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto* printers = dialog->findChild<QComboBox*>("printers");
        auto* file = dialog->findChild<QLineEdit*>("filename");
        offered << printers->currentText() << file->text();
        if (choice.isEmpty()) {
            return dialog->reject();
        }
        printers->setCurrentIndex(printers->findText(choice[0]));
        file->setText(choice[1]);
        dialog->findChild<QSpinBox*>("copies")->setValue(copies);
        dialog->findChild<QCheckBox*>("reverse")->setChecked(reverse);
        dialog->accept();
    });
}

enum DuringPage2 { Nothing, ClickCancel, PostQuit, EndPainter, RejectJobs };
}  // namespace

class tst_CupsPrint : public QObject {
    Q_OBJECT

private:
    PrivateCups m_cups;
    QTemporaryDir m_dir;
    QStringList m_messages;

private slots:
    void initTestCase() {
        QString why;
        QVERIFY2(m_cups.Start(why), qPrintable(why));
        for (const char* queue : {"collated", "uncollated", "duplex", "abandoned", "late",
                                  "refusing", "stopped", "removed", "dialog"}) {
            QVERIFY(m_cups.AddQueue(queue));
        }
        QVERIFY(Run("lpadmin", {"-d", "collated"}));
        QVERIFY(Run("cupsreject", {"-r", "Out of toner", "refusing"}));
        QVERIFY(Run("cupsdisable", {"stopped"}));
    }
    void init() { m_messages.clear(); }
    void cleanup() {
        SetPrintEnvironment(nullptr);
        QVERIFY(m_cups.ClientTempEmpty());
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // The queue's printer makes the copies and takes the job's name, duplex and paper size.
    void finishedJob_data() {
        QTest::addColumn<int>("copies");  // negative: uncollated
        QTest::addColumn<int>("duplex");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("stamps");
        QTest::addColumn<QStringList>("settings");
        QTest::newRow("collated") << 2 << int(QPrinter::DuplexNone) << int(QPageSize::A4)
                                  << "1 2 3 1 2 3" << QStringList{"DUPLEX=OFF", "PAPER=A4"};
        QTest::newRow("uncollated") << -2 << int(QPrinter::DuplexNone) << int(QPageSize::Letter)
                                    << "1 1 2 2 3 3" << QStringList{"DUPLEX=OFF", "PAPER=LETTER"};
        QTest::newRow("duplex") << 1 << int(QPrinter::DuplexLongSide) << int(QPageSize::A4)
                                << "1 2 3"
                                << QStringList{"DUPLEX=ON", "BINDING=LONGEDGE", "PAPER=A4"};
    }
    void finishedJob() {
        QFETCH(int, copies);
        QFETCH(int, duplex);
        QFETCH(int, size);
        QFETCH(QString, stamps);
        QFETCH(QStringList, settings);
        const QString queue = QTest::currentDataTag();
        QueueEnvironment environment(queue);
        environment.printer.setCopyCount(std::abs(copies));
        environment.printer.setCollateCopies(copies > 0);
        environment.printer.setDuplex(QPrinter::DuplexMode(duplex));
        environment.printer.setPageSize(QPageSize(QPageSize::PageSizeId(size)));
        SetPrintEnvironment(&environment);
        Report report(m_messages);
        report.Print();
        QVERIFY(m_messages.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(Stamps(m_cups.Output(queue)), stamps, 20000);
        // The printer's job header tells what it was asked for.
        QFile output(m_cups.Output(queue));
        QVERIFY(output.open(QIODevice::ReadOnly));
        const QByteArray header = output.read(2000);
        for (const QString& setting : settings + QStringList{"JOB NAME = \"(unknown)\""}) {
            QVERIFY2(header.contains(setting.toUtf8()), qPrintable(setting));
        }
    }

    // A job cancelled, quit or failed while its pages are drawn leaves nothing in the queue, and
    // nothing is drawn for a queue that does not take jobs; one that stops taking them while the
    // pages are drawn gets nothing either. Every failure is told with the queue and the reason,
    // CUPS's where it gives one.
    void jobNeverArrives_data() {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<int>("duringPage2");
        QTest::addColumn<int>("printed");
        QTest::addColumn<QStringList>("messages");
        const QString notStarted = "Could not start print job.\nThe printer \"%1\" %2";
        QTest::newRow("Cancel clicked") << "abandoned" << int(ClickCancel) << 2 << QStringList();
        QTest::newRow("quit requested") << "abandoned" << int(PostQuit) << 2 << QStringList();
        QTest::newRow("page failed")
            << "abandoned" << int(EndPainter) << 2
            << QStringList{"Could not print to \"abandoned\": the page could not be drawn."};
        QTest::newRow("rejecting")
            << "refusing" << int(Nothing) << 0
            << QStringList{notStarted.arg("refusing", "does not accept jobs: Out of toner.")};
        QTest::newRow("stopped") << "stopped" << int(Nothing) << 0
                                 << QStringList{notStarted.arg("stopped", "is stopped: Paused.")};
        QTest::newRow("removed") << "removed" << int(Nothing) << 0
                                 << QStringList{notStarted.arg(
                                        "removed",
                                        "is not available: The printer or class does not exist.")};
        QTest::newRow("rejecting after the dialog")
            << "late" << int(RejectJobs) << 3
            << QStringList{
                   "Could not send the print job to \"late\": Destination \"late\" is "
                   "not accepting jobs."};
    }
    void jobNeverArrives() {
        QFETCH(QString, queue);
        QFETCH(int, duringPage2);
        QFETCH(int, printed);
        QFETCH(QStringList, messages);
        QueueEnvironment environment(queue);
        SetPrintEnvironment(&environment);
        QVERIFY(queue != "removed" || Run("lpadmin", {"-x", queue}));
        QWidget window;
        window.show();
        Report report(m_messages);
        report.SetMainWindow(&window);
        report.duringPage = [&](unsigned page) {
            if (page != 2) {
                return;
            }
            if (duringPage2 == ClickCancel) {
                QTest::mouseClick(window.findChild<CPrintProgress*>()->findChild<QPushButton*>(),
                                  Qt::LeftButton);
            } else if (duringPage2 == PostQuit) {
                QCoreApplication::postEvent(qApp, new QEvent(QEvent::Quit));
            } else if (duringPage2 == EndPainter) {
                QTest::ignoreMessage(QtWarningMsg,
                                     "QPainter::end: Painter ended with 1 saved states");
                environment.context.Painter().end();
            } else if (duringPage2 == RejectJobs) {
                QVERIFY(Run("cupsreject", {queue}));
            }
        };
        report.Print();
        QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
        QCOMPARE(report.printed.size(), printed);
        QVERIFY(report.ended);
        QCOMPARE(m_messages, messages);
        QString jobs;
        Run("lpstat", {"-W", "all", "-o", queue}, &jobs);
        QCOMPARE(jobs, QString());
        QVERIFY(!QFile::exists(m_cups.Output(queue)));
    }

    // The dialog offers the destination an earlier run stored, then the last job's printer or
    // file; copies to a file are drawn, and Reverse prints backwards. A PDF after a CUPS queue
    // still gets a PDF's margins, 10 points, with the report's 10 mm inside them.
    void dialogRemembers() {
        const QString toFile = QCoreApplication::translate("QPrintDialog", "Print to File (PDF)");
        const QString file = m_dir.filePath("chosen.pdf");
        const QString afterQueue = m_dir.filePath("after-queue.pdf");
        const QString remembered = m_dir.filePath("remembered.pdf");
        const QList<QStringList> choices = {
            {toFile, file}, {"dialog", ""}, {toFile, afterQueue}, {}};
        QStringList offered;
        for (const QStringList& choice : choices) {
            Report report(m_messages);
            report.SetDefaultOutputFile(m_dir.filePath("default.pdf"));
            report.SetRememberedDestination({"uncollated", false, remembered});
            const bool first = choice == choices.first();
            AnswerDialog(offered, choice, first ? 2 : 1, first);
            report.Print();
        }
        QCOMPARE(offered, (QStringList{"uncollated", remembered, toFile, file, "dialog", file,
                                       toFile, afterQueue}));
        QCOMPARE(Stamps(file), QString("3 2 1 3 2 1"));
        QTRY_COMPARE_WITH_TIMEOUT(Stamps(m_cups.Output("dialog")), QString("1 2 3"), 20000);
        QVERIFY(m_messages.isEmpty());
        const QPointF gap = TextTopRightGap(afterQueue);
        const double margins = 10 + 10 / 25.4 * 72;
        QVERIFY2(
            qAbs(gap.x() - margins) < 1 && qAbs(gap.y() - margins) < 1,
            qPrintable(
                QString("text %1 pt from the top, %2 from the right").arg(gap.x()).arg(gap.y())));
    }
};

QTEST_MAIN(tst_CupsPrint)
#include "tst_cupsprint.moc"
