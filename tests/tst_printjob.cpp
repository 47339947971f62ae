// The print job driver: the dialogs' outcomes, the page range, the ways a job ends early, the
// window and events during the job, and the remaining-time texts.

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "PrintEnvironment.h"
#include "PrintEstimate.h"
#include "PrintJobDriver.h"
#include "PrintProgress.h"
#include "PrinterContext.h"

namespace {
// A printer context on an image that logs the spooler calls; the one named in fail, with the
// number of its call ("StartPage #2"), fails.
class FakeContext : public CPrinterContext {
public:
    explicit FakeContext(QStringList& log) : m_log(log), m_image(100, 100, QImage::Format_RGB32) {}
    QPaintDevice& Device() override { return m_image; }
    bool StartDoc(const QString& name, const QString& file) override {
        if (!Call("StartDoc " + name + (file.isEmpty() ? "" : " to " + file))) {
            SetFailure("The printer is off.");
            return false;
        }
        return CPrinterContext::StartDoc(name, file);
    }
    bool StartPage() override { return Call("StartPage") && CPrinterContext::StartPage(); }
    bool EndPage() override { return Call("EndPage") && CPrinterContext::EndPage(); }
    void EndDoc() override {
        if (!Call("EndDoc")) {
            SetFailure("The output is incomplete.");
        }
        CPrinterContext::EndDoc();
    }
    void AbortDoc() override { Call("AbortDoc"), CPrinterContext::AbortDoc(); }
    QString fail;

private:
    bool Call(const QString& call) {
        m_log << call;
        return fail != call + " #" + QString::number(m_log.count(call));
    }
    QStringList& m_log;
    QImage m_image;
};

// Answers the dialogs without showing them; no context means the user cancels.
class Environment : public CPrintEnvironment {
public:
    explicit Environment(QStringList& log) : m_log(log) {}
    CPrinterContext* RunPrintDialog(CPrintInfo& info, QWidget*) override {
        m_log << QString("dialog %1-%2").arg(info.m_nFromPage).arg(info.m_nToPage);
        offered = info.m_offered;
        if (from != 0) {
            info.m_nFromPage = static_cast<quint16>(from);
            info.m_nToPage = static_cast<quint16>(to);
        }
        info.m_chosen = {QString(), !file.isNull(), file};
        info.m_nCopies = copies;
        info.m_bCollate = collate;
        return context;
    }
    QString AskOutputFileName(QWidget*, const QString& startFile) override {
        return m_log << "save file from " + startFile, fileAnswer;
    }
    CPrinterContext* context = nullptr;
    CPrintDestination offered;
    int from = 0;  // 0: all pages
    int to = 0;
    int copies = 1;
    bool collate = true;
    QString file;  // null: a printer; empty: a file not named yet
    QString fileAnswer;

private:
    QStringList& m_log;
};

// Logs its steps; pageCount 0 leaves the page count unknown.
class Job : public CPrintJobDriver {
public:
    Job(QStringList& log, int pageCount) : m_log(log), m_pageCount(pageCount) {}
    std::function<void(unsigned page)> duringPage = [](unsigned) {};

protected:
    void OnBeginPrinting(CPrinterContext&, CPrintInfo& info) override {
        m_log << "begin";
        if (m_pageCount > 0) {
            info.SetMaxPage(static_cast<quint16>(m_pageCount));
        }
    }
    void OnPrint(CPrinterContext&, CPrintInfo& info) override {
        m_log << QString("page %1 of %2").arg(info.m_nCurPage).arg(info.GetMaxPage());
        duringPage(info.m_nCurPage);
    }
    void OnEndPrinting(CPrinterContext&, CPrintInfo&) override { m_log << "end"; }

private:
    QStringList& m_log;
    int m_pageCount;
};

CPrintProgress* progressWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* progress = qobject_cast<CPrintProgress*>(widget)) {
            return progress;
        }
    }
    return nullptr;
}

// Counts and eats the application's quit events while it lives.
class QuitCounter : public QObject {
public:
    QuitCounter() { qApp->installEventFilter(this); }
    ~QuitCounter() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        return event->type() == QEvent::Quit && ++count;
    }
    int count = 0;
};

enum DuringPage { Nothing, EndPainter, ClickCancel, PostQuit };
}  // namespace

class tst_PrintJob : public QObject {
    Q_OBJECT

private:
    QStringList m_log;
    std::unique_ptr<Environment> m_environment;
    std::unique_ptr<FakeContext> m_context;
    std::unique_ptr<QWidget> m_mainWindow;

    std::unique_ptr<Job> newJob(int pageCount) {
        auto job = std::make_unique<Job>(m_log, pageCount);
        job->SetMainWindow(m_mainWindow.get());
        job->SetDefaultOutputFile("/out/default.pdf");
        job->SetDestinationHandler([this](const CPrintDestination& used) {
            m_log << "remember " + (used.toFile ? used.file : "printer");
        });
        job->SetMessageHandler([this](const QString& text) {
            m_log << text + (m_mainWindow->isEnabled() ? "" : " over a disabled window");
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

    void dialogs_data() {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("fileAnswer");
        QTest::addColumn<QStringList>("expected");
        const QStringList page = {"StartPage", "page 1 of 1", "EndPage", "EndDoc", "end"};
        QTest::newRow("print dialog cancelled")
            << true << QString() << "" << QStringList{"dialog 1-65535"};
        QTest::newRow("printer") << false << QString() << ""
                                 << QStringList{"dialog 1-65535", "begin", "StartDoc (unknown)",
                                                "remember printer"} +
                                        page;
        QTest::newRow("file named in the dialog")
            << false << "/out/a.pdf"
            << ""
            << QStringList{"dialog 1-65535", "begin", "StartDoc (unknown) to /out/a.pdf",
                           "remember /out/a.pdf"} +
                   page;
        QTest::newRow("file asked for")
            << false << ""
            << "/out/b.pdf"
            << QStringList{"dialog 1-65535", "save file from /out/default.pdf", "begin",
                           "StartDoc (unknown) to /out/b.pdf", "remember /out/b.pdf"} +
                   page;
        QTest::newRow("file dialog cancelled")
            << false << ""
            << "" << QStringList{"dialog 1-65535", "save file from /out/default.pdf"};
    }
    void dialogs() {
        QFETCH(bool, cancel);
        QFETCH(QString, file);
        QFETCH(QString, fileAnswer);
        QFETCH(QStringList, expected);
        if (cancel) {
            m_environment->context = nullptr;
        }
        m_environment->file = file;
        m_environment->fileAnswer = fileAnswer;
        newJob(1)->Print();
        QCOMPARE(m_log, expected);
    }

    // The destination of an earlier run is offered, its file only while it can be written again.
    void offered_data() {
        QTest::addColumn<QString>("rememberedFile");
        QTest::addColumn<QString>("offeredFile");
        const QString kept = QDir::temp().filePath("kept.pdf");
        QTest::newRow("nothing remembered") << ""
                                            << "/out/default.pdf";
        QTest::newRow("remembered file") << kept << kept;
        QTest::newRow("its folder gone") << "/gone-folder/kept.pdf"
                                         << "/out/default.pdf";
        QTest::newRow("a folder") << QDir::tempPath() << "/out/default.pdf";
    }
    void offered() {
        QFETCH(QString, rememberedFile);
        QFETCH(QString, offeredFile);
        m_environment->context = nullptr;
        auto job = newJob(1);
        job->SetRememberedDestination({"lp0", true, rememberedFile});
        job->Print();
        QCOMPARE(m_environment->offered.printer, QString("lp0"));
        QVERIFY(m_environment->offered.toFile);
        QCOMPARE(m_environment->offered.file, offeredFile);
    }

    void pageRange_data() {
        QTest::addColumn<int>("pageCount");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("copies");  // negative: uncollated
        QTest::addColumn<QStringList>("printed");
        const QStringList p2to3{"page 2 of 5", "page 3 of 5"};
        QTest::newRow("all of 3") << 3 << 0 << 0 << 1
                                  << QStringList{"page 1 of 3", "page 2 of 3", "page 3 of 3"};
        QTest::newRow("2 to 3 of 5") << 5 << 2 << 3 << 1 << p2to3;
        QTest::newRow("7 to 9 of 5") << 5 << 7 << 9 << 1 << QStringList{"page 5 of 5"};
        QTest::newRow("4 to 9 of 5")
            << 5 << 4 << 9 << 1 << QStringList{"page 4 of 5", "page 5 of 5"};
        QTest::newRow("4 back to 2 of 5")
            << 5 << 4 << 2 << 1 << QStringList{"page 4 of 5", "page 3 of 5", "page 2 of 5"};
        QTest::newRow("all backwards")
            << 2 << 65535 << 1 << 1 << QStringList{"page 2 of 2", "page 1 of 2"};
        QTest::newRow("count never set") << 0 << 0 << 0 << 1 << QStringList{"page 1 of 65535"};
        QTest::newRow("2 collated copies") << 5 << 2 << 3 << 2 << p2to3 + p2to3;
        QTest::newRow("2 uncollated copies")
            << 5 << 2 << 3 << -2 << QStringList{p2to3[0], p2to3[0], p2to3[1], p2to3[1]};
    }
    void pageRange() {
        QFETCH(int, pageCount);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, copies);
        QFETCH(QStringList, printed);
        m_environment->from = from;
        m_environment->to = to;
        m_environment->copies = std::abs(copies);
        m_environment->collate = copies > 0;
        newJob(pageCount)->Print();
        QCOMPARE(m_log.filter(QRegularExpression("^page ")), printed);
        QCOMPARE(m_log.count("StartPage"), printed.size());
        QCOMPARE(m_log.mid(m_log.size() - 2), (QStringList{"EndDoc", "end"}));
    }

    // The job ends early; the window is enabled again whatever happened.
    void interrupted_data() {
        QTest::addColumn<QString>("fail");
        QTest::addColumn<int>("duringPage2");
        QTest::addColumn<QStringList>("afterPage1");
        const QStringList page2 = {"StartPage", "page 2 of 3", "EndPage"};
        QTest::newRow("document start refused")
            << "StartDoc (unknown) #1" << int(Nothing)
            << QStringList{"StartDoc (unknown)", "end",
                           "Could not start print job.\nThe printer is off."};
        // A device that gives no reason still has its failure told.
        const QStringList failed2 = {"AbortDoc", "end", "Could not print page 2."};
        QTest::newRow("StartPage refused")
            << "StartPage #2" << int(Nothing) << QStringList{"StartPage"} + failed2;
        QTest::newRow("EndPage refused") << "EndPage #2" << int(Nothing) << page2 + failed2;
        QTest::newRow("painter lost") << "" << int(EndPainter) << page2 + failed2;
        QTest::newRow("Cancel clicked")
            << "" << int(ClickCancel) << page2 + QStringList{"AbortDoc", "end"};
        QTest::newRow("quit requested")
            << "" << int(PostQuit) << page2 + QStringList{"AbortDoc", "end"};
        QTest::newRow("output incomplete")
            << "EndDoc #1" << int(Nothing)
            << page2 + QStringList{"StartPage", "page 3 of 3", "EndPage",
                                   "EndDoc",    "end",         "The output is incomplete."};
    }
    void interrupted() {
        QFETCH(QString, fail);
        QFETCH(int, duringPage2);
        QFETCH(QStringList, afterPage1);
        m_context->fail = fail;
        auto job = newJob(3);
        job->duringPage = [&](unsigned page) {
            if (page != 2) {
                return;
            }
            if (duringPage2 == EndPainter) {
                QTest::ignoreMessage(QtWarningMsg,
                                     "QPainter::end: Painter ended with 1 saved states");
                m_context->Painter().end();
            } else if (duringPage2 == ClickCancel) {
                QTest::mouseClick(progressWindow()->findChild<QPushButton*>("cancel"),
                                  Qt::LeftButton);
            } else if (duringPage2 == PostQuit) {
                QCoreApplication::postEvent(qApp, new QEvent(QEvent::Quit));
            }
        };
        job->Print();
        const QStringList page1 = {"dialog 1-65535",   "begin",     "StartDoc (unknown)",
                                   "remember printer", "StartPage", "page 1 of 3",
                                   "EndPage"};
        QCOMPARE(m_log, (afterPage1.first() == "StartDoc (unknown)" ? page1.mid(0, 2) : page1) +
                            afterPage1);
        QVERIFY(m_mainWindow->isEnabled());
        // Held back during the job, a quit request is made again once it is over.
        QuitCounter quits;
        QCoreApplication::processEvents();
        QCOMPARE(quits.count, duringPage2 == PostQuit ? 1 : 0);
    }

    void duringTheJob() {
        QStringList seen;
        bool timerFired = false;
        auto job = newJob(2);
        job->duringPage = [&](unsigned) {
            const CPrintProgress* progress = progressWindow();
            QVERIFY(progress && progress->parentWidget() == m_mainWindow.get());
            seen << QString("%1 %2 %3 %4 %5")
                        .arg(progress->findChild<QLabel*>("page")->text(),
                             progress->findChild<QLabel*>("estimate")->text())
                        .arg(m_mainWindow->isEnabled() ? "window enabled" : "window disabled")
                        .arg(progress->isVisible() && progress->isEnabled() ? "progress usable"
                                                                            : "progress unusable")
                        .arg(timerFired ? "timer fired" : "timer waiting");
            QTimer::singleShot(0, [&timerFired] { timerFired = true; });
        };
        job->Print();
        QCOMPARE(seen, (QStringList{
                           "Printing page 1 of 2 ?? window disabled progress usable timer waiting",
                           "Printing page 2 of 2 ?? window disabled progress usable timer fired"}));
        QVERIFY(m_mainWindow->isEnabled());
        QVERIFY(!progressWindow());
    }

    void remainingTime_data() {
        QTest::addColumn<quint32>("msPerPage");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("done");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first of several") << 0u << 5 << 1 << "??";
        QTest::newRow("seconds") << 2000u << 5 << 2 << "8 secondi";
        QTest::newRow("60 seconds") << 15000u << 5 << 2 << "60 secondi";
        QTest::newRow("61 seconds") << 15250u << 5 << 2 << "1 minuti, 1 secondi";
        QTest::newRow("under a second") << 999u << 2 << 2 << "??";
        QTest::newRow("one page keeps the text") << 5000u << 1 << 1 << "previous";
        QTest::newRow("one long page") << 70000u << 1 << 1 << "1 minuti, 10 secondi";
        QTest::newRow("wraps at 32 bits") << 0x80000000u << 3 << 2 << "??";
    }
    void remainingTime() {
        QFETCH(quint32, msPerPage);
        QFETCH(int, pages);
        QFETCH(int, done);
        QFETCH(QString, expected);
        QCOMPARE(RemainingTimeText(msPerPage, pages, done, "previous"), expected);
    }
};

QTEST_MAIN(tst_PrintJob)
#include "tst_printjob.moc"
