// The print job driver: the dialogs' outcomes, the page range, the document's start and failures,
// the window and events during the job, cancelling, quitting and the remaining-time texts.

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <optional>

#include "PrintEnvironment.h"
#include "PrintEstimate.h"
#include "PrintJobDriver.h"
#include "PrintProgress.h"
#include "PrinterContext.h"
#include "QtPrinterContext.h"

namespace {
// A printer context on an image that logs the spooler calls and fails the ones it is told to.
class FakeContext : public CPrinterContext {
public:
    explicit FakeContext(QStringList& log) : m_log(log), m_image(850, 1100, QImage::Format_RGB32) {}
    QPaintDevice& Device() override { return m_image; }
    bool StartDoc(const QString& docName, const QString& outputFile) override {
        m_log << "StartDoc " + docName + (outputFile.isEmpty() ? "" : " to " + outputFile);
        return !failStartDoc && CPrinterContext::StartDoc(docName, outputFile);
    }
    bool StartPage() override {
        m_log << "StartPage";
        return ++m_started != failStartPage && CPrinterContext::StartPage();
    }
    bool EndPage() override {
        m_log << "EndPage";
        return ++m_ended != failEndPage && CPrinterContext::EndPage();
    }
    void EndDoc() override {
        m_log << "EndDoc";
        CPrinterContext::EndDoc();
    }
    void AbortDoc() override {
        m_log << "AbortDoc";
        CPrinterContext::AbortDoc();
    }

    bool failStartDoc = false;
    int failStartPage = 0;  // counting from 1; 0 fails none
    int failEndPage = 0;

private:
    QStringList& m_log;
    QImage m_image;
    int m_started = 0;
    int m_ended = 0;
};

// Answers the dialogs without showing them.
class Environment : public CPrintEnvironment {
public:
    explicit Environment(QStringList& log) : m_log(log) {}
    CPrinterContext* RunPrintDialog(CPrintInfo& info, QWidget*) override {
        m_log << QString("dialog %1-%2").arg(info.m_nFromPage).arg(info.m_nToPage);
        if (range) {
            info.m_nFromPage = static_cast<quint16>(range->first);
            info.m_nToPage = static_cast<quint16>(range->second);
        }
        info.m_bPrintToFile = toFile;
        info.m_strOutputFile = fileInDialog;
        return context;
    }
    QString AskOutputFileName(QWidget*) override {
        m_log << "save file";
        return fileAnswer;
    }

    CPrinterContext* context = nullptr;  // null: the user cancels
    std::optional<std::pair<int, int>> range;
    bool toFile = false;
    QString fileInDialog;
    QString fileAnswer;

private:
    QStringList& m_log;
};

// Notes its steps; pageCount 0 leaves the page count unknown.
class Job : public CPrintJobDriver {
public:
    explicit Job(QStringList& log) : m_log(log) {}
    int pageCount = 1;
    std::function<void(unsigned page)> duringPage;

protected:
    void OnBeginPrinting(CPrinterContext&, CPrintInfo& info) override {
        m_log << "begin";
        if (pageCount > 0) {
            info.SetMaxPage(static_cast<quint16>(pageCount));
        }
    }
    void OnPrint(CPrinterContext&, CPrintInfo& info) override {
        m_log << QString("page %1 of %2").arg(info.m_nCurPage).arg(info.GetMaxPage());
        if (duringPage) {
            duringPage(info.m_nCurPage);
        }
    }
    void OnEndPrinting(CPrinterContext&, CPrintInfo&) override { m_log << "end"; }

private:
    QStringList& m_log;
};

CPrintProgress* progressWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* progress = qobject_cast<CPrintProgress*>(widget)) {
            return progress;
        }
    }
    return nullptr;
}

// Eats the application's quit events while it lives and counts them.
class QuitCounter : public QObject {
public:
    QuitCounter() { qApp->installEventFilter(this); }
    ~QuitCounter() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Quit;
        return event->type() == QEvent::Quit;
    }
    int count = 0;
};
}  // namespace

class tst_PrintJob : public QObject {
    Q_OBJECT

private:
    QStringList m_log;
    std::unique_ptr<Environment> m_environment;
    std::unique_ptr<FakeContext> m_context;
    std::unique_ptr<QWidget> m_mainWindow;

    std::unique_ptr<Job> newJob(int pageCount) {
        auto job = std::make_unique<Job>(m_log);
        job->pageCount = pageCount;
        job->SetMainWindow(m_mainWindow.get());
        job->SetMessageHandler([this](const QString& text) {
            m_log << "message " + text +
                         (m_mainWindow->isEnabled() ? " over an enabled window"
                                                    : " over a disabled window");
        });
        return job;
    }

private slots:
    void init() {
        m_log.clear();
        m_context = std::make_unique<FakeContext>(m_log);
        m_environment = std::make_unique<Environment>(m_log);
        m_environment->context = m_context.get();
        SetPrintEnvironment(m_environment.get());
        m_mainWindow = std::make_unique<QWidget>();
        m_mainWindow->show();
    }
    void cleanup() {
        SetPrintEnvironment(nullptr);
        m_mainWindow.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void dialogCancelled() {
        m_environment->context = nullptr;
        newJob(3)->Print();
        QCOMPARE(m_log, QStringList{"dialog 1-65535"});
    }

    void output_data() {
        QTest::addColumn<bool>("toFile");
        QTest::addColumn<QString>("fileInDialog");
        QTest::addColumn<QString>("fileAnswer");
        QTest::addColumn<QStringList>("expected");
        const QStringList page = {"StartPage", "page 1 of 1", "EndPage", "EndDoc", "end"};
        QTest::newRow("printer") << false << ""
                                 << ""
                                 << QStringList{"dialog 1-65535", "begin", "StartDoc (unknown)"} +
                                        page;
        QTest::newRow("file named in the dialog")
            << true << "/out/a.pdf"
            << ""
            << QStringList{"dialog 1-65535", "begin", "StartDoc (unknown) to /out/a.pdf"} + page;
        QTest::newRow("file asked for") << true << ""
                                        << "/out/b.pdf"
                                        << QStringList{"dialog 1-65535", "save file", "begin",
                                                       "StartDoc (unknown) to /out/b.pdf"} +
                                               page;
        QTest::newRow("file dialog cancelled") << true << ""
                                               << "" << QStringList{"dialog 1-65535", "save file"};
    }
    void output() {
        QFETCH(bool, toFile);
        QFETCH(QString, fileInDialog);
        QFETCH(QString, fileAnswer);
        QFETCH(QStringList, expected);
        m_environment->toFile = toFile;
        m_environment->fileInDialog = fileInDialog;
        m_environment->fileAnswer = fileAnswer;
        newJob(1)->Print();
        QCOMPARE(m_log, expected);
    }

    void pageRange_data() {
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<int>("from");  // 0: all pages
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("printed");
        QTest::newRow("all of 3") << 3 << 0 << 0
                                  << QStringList{"page 1 of 3", "page 2 of 3", "page 3 of 3"};
        QTest::newRow("2 to 3 of 5") << 5 << 2 << 3 << QStringList{"page 2 of 5", "page 3 of 5"};
        QTest::newRow("7 to 9 of 5") << 5 << 7 << 9 << QStringList{"page 5 of 5"};
        QTest::newRow("4 to 9 of 5") << 5 << 4 << 9 << QStringList{"page 4 of 5", "page 5 of 5"};
        QTest::newRow("4 back to 2 of 5")
            << 5 << 4 << 2 << QStringList{"page 4 of 5", "page 3 of 5", "page 2 of 5"};
        QTest::newRow("count never set") << 0 << 0 << 0 << QStringList{"page 1 of 65535"};
    }
    void pageRange() {
        QFETCH(int, pageCount);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, printed);
        if (from != 0) {
            m_environment->range = {from, to};
        }
        newJob(pageCount)->Print();
        QCOMPARE(m_log.filter(QRegularExpression("^page ")), printed);
        QCOMPARE(m_log.count("StartPage"), printed.size());
        QCOMPARE(m_log.last(), QString("end"));
        QVERIFY(m_log.contains("EndDoc"));
    }

    void startFails_data() {
        QTest::addColumn<bool>("pdf");
        QTest::newRow("device refuses") << false;
        QTest::newRow("PDF file cannot be created") << true;
    }
    void startFails() {
        QFETCH(bool, pdf);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFileName("/nonexistent-folder/report.pdf");
        CQtPrinterContext pdfContext(printer);
        if (pdf) {
            m_environment->context = &pdfContext;
            QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        } else {
            m_context->failStartDoc = true;
        }
        newJob(2)->Print();
        QStringList expected = {"dialog 1-65535", "begin", "StartDoc (unknown)", "end",
                                "message Could not start print job. over an enabled window"};
        if (pdf) {
            expected.removeAll("StartDoc (unknown)");
        }
        QCOMPARE(m_log, expected);
        QVERIFY(!progressWindow());
    }

    void pageFails_data() {
        QTest::addColumn<int>("failStartPage");
        QTest::addColumn<int>("failEndPage");
        QTest::addColumn<bool>("endPainter");
        QTest::addColumn<QStringList>("afterPage1");
        QTest::newRow("StartPage of page 2") << 2 << 0 << false << QStringList{"StartPage"};
        QTest::newRow("EndPage of page 2")
            << 0 << 2 << false << QStringList{"StartPage", "page 2 of 3", "EndPage"};
        QTest::newRow("painter lost on page 2")
            << 0 << 0 << true << QStringList{"StartPage", "page 2 of 3", "EndPage"};
    }
    void pageFails() {
        QFETCH(int, failStartPage);
        QFETCH(int, failEndPage);
        QFETCH(bool, endPainter);
        QFETCH(QStringList, afterPage1);
        m_context->failStartPage = failStartPage;
        m_context->failEndPage = failEndPage;
        auto job = newJob(3);
        if (endPainter) {
            QTest::ignoreMessage(QtWarningMsg, "QPainter::end: Painter ended with 1 saved states");
            job->duringPage = [this](unsigned page) {
                if (page == 2) {
                    m_context->Painter().end();
                }
            };
        }
        job->Print();
        const QStringList page1 = {"dialog 1-65535", "begin",       "StartDoc (unknown)",
                                   "StartPage",      "page 1 of 3", "EndPage"};
        QCOMPARE(m_log, page1 + afterPage1 + QStringList({"AbortDoc", "end"}));
        QVERIFY(m_mainWindow->isEnabled());
    }

    void duringTheJob() {
        QStringList seen;
        bool timerFired = false;
        auto job = newJob(2);
        job->duringPage = [&](unsigned page) {
            const CPrintProgress* progress = progressWindow();
            QVERIFY(progress);
            seen << QString(
                        "page %1: window %2, progress %3 %4 over the window, \"%5\" \"%6\", "
                        "timer %7")
                        .arg(page)
                        .arg(m_mainWindow->isEnabled() ? "enabled" : "disabled")
                        .arg(progress->isVisible() ? "shown" : "hidden")
                        .arg(progress->isEnabled() ? "enabled" : "disabled")
                        .arg(progress->findChild<QLabel*>("page")->text(),
                             progress->findChild<QLabel*>("estimate")->text())
                        .arg(timerFired ? "fired" : "waiting");
            QCOMPARE(progress->parentWidget(), m_mainWindow.get());
            if (page == 1) {
                QTimer::singleShot(0, [&timerFired] { timerFired = true; });
            }
        };
        job->Print();
        QCOMPARE(seen, (QStringList{"page 1: window disabled, progress shown enabled over the "
                                    "window, \"Printing page 1\" \"??\", timer waiting",
                                    "page 2: window disabled, progress shown enabled over the "
                                    "window, \"Printing page 2\" \"??\", timer fired"}));
        QVERIFY(m_mainWindow->isEnabled());
        QVERIFY(!progressWindow());
    }

    void cancelButton() {
        auto job = newJob(4);
        job->duringPage = [](unsigned page) {
            if (page == 2) {
                QTest::mouseClick(progressWindow()->findChild<QPushButton*>("cancel"),
                                  Qt::LeftButton);
            }
        };
        job->Print();
        QCOMPARE(m_log.filter(QRegularExpression("^page ")),
                 (QStringList{"page 1 of 4", "page 2 of 4"}));
        QCOMPARE(m_log.mid(m_log.size() - 3), (QStringList{"EndPage", "AbortDoc", "end"}));
        QVERIFY(m_mainWindow->isEnabled());
    }

    void quitRequest() {
        auto job = newJob(3);
        job->duringPage = [](unsigned) {
            QCoreApplication::postEvent(qApp, new QEvent(QEvent::Quit));
        };
        job->Print();
        QCOMPARE(m_log.filter(QRegularExpression("^page ")), QStringList{"page 1 of 3"});
        QCOMPARE(m_log.mid(m_log.size() - 2), (QStringList{"AbortDoc", "end"}));
        // Held back during the job, the request is made again once it is over.
        QuitCounter quits;
        QCoreApplication::processEvents();
        QCOMPARE(quits.count, 1);
    }

    void remainingTime_data() {
        QTest::addColumn<quint32>("msPerPage");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("done");
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first of several") << 0u << 5 << 1 << ""
                                          << "??";
        QTest::newRow("seconds") << 2000u << 5 << 2 << "??"
                                 << "8 secondi";
        QTest::newRow("last of several") << 4000u << 3 << 3 << "8 secondi"
                                         << "4 secondi";
        QTest::newRow("60 seconds") << 15000u << 5 << 2 << ""
                                    << "60 secondi";
        QTest::newRow("61 seconds") << 15250u << 5 << 2 << ""
                                    << "1 minuti, 1 secondi";
        QTest::newRow("minutes") << 30500u << 5 << 2 << ""
                                 << "2 minuti, 2 secondi";
        QTest::newRow("under a second") << 999u << 2 << 2 << "1 secondi"
                                        << "??";
        QTest::newRow("one page keeps the text") << 5000u << 1 << 1 << "old"
                                                 << "old";
        QTest::newRow("one long page") << 70000u << 1 << 1 << ""
                                       << "1 minuti, 10 secondi";
        QTest::newRow("wraps at 32 bits") << 0x80000000u << 3 << 2 << ""
                                          << "??";
    }
    void remainingTime() {
        QFETCH(quint32, msPerPage);
        QFETCH(int, pages);
        QFETCH(int, done);
        QFETCH(QString, previous);
        QFETCH(QString, expected);
        QCOMPARE(RemainingTimeText(msPerPage, pages, done, previous), expected);
    }
};

QTEST_MAIN(tst_PrintJob)
#include "tst_printjob.moc"
