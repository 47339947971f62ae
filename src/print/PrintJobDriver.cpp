#include "PrintJobDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMessageBox>
#include <QScopeGuard>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

#include "PrintEnvironment.h"
#include "PrintEstimate.h"
#include "PrintProgress.h"
#include "PrinterContext.h"

namespace {
// Holds back a quit request while it lives and notes it; the job aborts and quits afterwards.
class QuitWatcher : public QObject {
public:
    explicit QuitWatcher(bool& requested) : m_requested(requested) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~QuitWatcher() override { QCoreApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) {
            m_requested = true;
            return true;
        }
        return false;
    }

private:
    bool& m_requested;
};

void SetEnabled(QWidget* window, bool enabled) {
    if (window) {
        window->setEnabled(enabled);
    }
}

CDeviceRect PrintableArea(CPrinterContext& dc) {
    const QSize size = dc.PrintableSize();
    return {0, 0, size.width(), size.height()};
}
}  // namespace

void CPrintJobDriver::SetMessageHandler(std::function<void(const QString&)> handler) {
    m_messageHandler = std::move(handler);
}

void CPrintJobDriver::SetRememberedDestination(const CPrintDestination& destination) {
    m_remembered = destination;
}

void CPrintJobDriver::SetDestinationHandler(std::function<void(const CPrintDestination&)> handler) {
    m_destinationHandler = std::move(handler);
}

void CPrintJobDriver::Print() {
    if (!m_pMainWnd) {
        m_pMainWnd = QApplication::activeWindow();
    }
    CPrintInfo info;
    if (!OnPreparePrinting(info)) {
        return;
    }
    CPrintDestination& chosen = info.m_chosen;
    if (chosen.toFile && chosen.file.isEmpty()) {
        chosen.file = PrintEnvironment().AskOutputFileName(MainWindow(), info.m_offered.file);
        if (chosen.file.isEmpty()) {
            return;
        }
    }
    const QString outputFile = chosen.toFile ? chosen.file : QString();
    CPrinterContext& dc = *info.m_pDC;
    info.m_rectDraw = PrintableArea(dc);
    OnBeginPrinting(dc, info);
    if (info.m_bRefused) {
        OnEndPrinting(dc, info);
        return;
    }

    const QPointer<QWidget> mainWindow = m_pMainWnd;
    SetEnabled(mainWindow, false);
    if (!dc.StartDoc(m_strDocName, outputFile)) {
        SetEnabled(mainWindow, true);
        OnEndPrinting(dc, info);
        const QString why = dc.Failure();
        ShowMessage(QStringLiteral("Could not start print job.") +
                    (why.isEmpty() ? QString() : u'\n' + why));
        return;
    }
    if (m_destinationHandler) {
        m_destinationHandler(chosen);
    }
    m_bUserAbort = false;
    m_bQuitRequested = false;
    const bool printed = PrintPages(dc, info);
    if (printed) {
        dc.EndDoc();
    } else {
        dc.AbortDoc();
    }
    SetEnabled(mainWindow, true);
    OnEndPrinting(dc, info);
    QString failure = dc.Failure();
    // Only the user ends a job early without a failure; a device that gives no reason still
    // gets its job's failure told.
    if (failure.isEmpty() && !printed && !m_bUserAbort && !m_bQuitRequested) {
        failure = QStringLiteral("Could not print page %1.").arg(info.m_nCurPage);
    }
    if (!failure.isEmpty()) {
        ShowMessage(failure);
    }
    if (m_bQuitRequested) {
        QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Quit));
    }
}

bool CPrintJobDriver::PrintPages(CPrinterContext& dc, CPrintInfo& info) {
    const int first = info.GetMinPage();
    const int last = info.GetMaxPage();
    const int from = qBound(first, static_cast<int>(info.m_nFromPage), last);
    const int to = qBound(first, static_cast<int>(info.m_nToPage), last);
    const int step = to >= from ? 1 : -1;
    const int end = to == kPageCountUnknown ? kPageCountUnknown : to + step;
    const int pages = std::abs(end - from);
    const int copies = std::max(1, info.m_nCopies);
    const int sheets = pages * copies;

    const QuitWatcher quitWatcher(m_bQuitRequested);
    // Owned here, but its owner window would take it along if it went first.
    QPointer<CPrintProgress> progress;
    const auto closeProgress = qScopeGuard([&progress] { delete progress.data(); });
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        progress = new CPrintProgress(m_pMainWnd);
        QObject::connect(progress.data(), &CPrintProgress::cancelRequested,
                         [this] { m_bUserAbort = true; });
        progress->show();
        // A window of its own, usable while its owner is disabled.
        progress->setEnabled(true);
    }

    QElapsedTimer clock;
    clock.start();
    quint32 msPerPage = 0;
    QString estimate;
    for (int done = 1; done <= sheets; ++done) {
        const int sheet = done - 1;
        const int offset = info.m_bCollate ? sheet % pages : sheet / copies;
        info.m_nCurPage = static_cast<unsigned>(from + step * offset);
        OnPrepareDC(dc, info);
        if (!info.m_bContinuePrinting) {
            return true;
        }
        estimate = RemainingTimeText(msPerPage, sheets, done, estimate);
        if (progress) {
            progress->ShowPage(info.m_nCurPage, info.GetMaxPage(), estimate);
        }
        info.m_rectDraw = PrintableArea(dc);
        if (!dc.StartPage()) {
            return false;
        }
        OnPrepareDC(dc, info);
        QPainter& painter = dc.Painter();
        painter.save();
        OnPrint(dc, info);
        const bool ended = dc.EndPage() && AbortProc();
        if (painter.isActive()) {
            painter.restore();
        }
        if (!ended) {
            return false;
        }
        msPerPage = static_cast<quint32>(clock.elapsed()) / static_cast<quint32>(done);
    }
    return true;
}

bool CPrintJobDriver::AbortProc() {
    if (!m_bUserAbort) {
        QCoreApplication::processEvents();
        if (m_bQuitRequested) {
            return false;
        }
    }
    return !m_bUserAbort;
}

void CPrintJobDriver::OnPrint(CPrinterContext&, CPrintInfo&) {}

void CPrintJobDriver::OnEndPrinting(CPrinterContext&, CPrintInfo&) {}

void CPrintJobDriver::OnBeginPrinting(CPrinterContext&, CPrintInfo&) {}

bool CPrintJobDriver::OnPreparePrinting(CPrintInfo& info) {
    return DoPreparePrinting(info);
}

bool CPrintJobDriver::DoPreparePrinting(CPrintInfo& info) {
    if (info.GetMinPage() > info.GetMaxPage()) {
        info.SetMaxPage(info.GetMinPage());
    }
    info.m_nFromPage = info.GetMinPage();
    info.m_nToPage = info.GetMaxPage();
    info.m_offered = m_remembered;
    info.m_offered.file = UsableOutputFile(m_remembered.file, m_strDefaultOutputFile);
    info.m_pDC = PrintEnvironment().RunPrintDialog(info, MainWindow());
    return info.m_pDC != nullptr;
}

void CPrintJobDriver::OnPrepareDC(CPrinterContext&, CPrintInfo& info) {
    info.m_bContinuePrinting = info.GetMaxPage() != kPageCountUnknown || info.m_nCurPage == 1;
}

void CPrintJobDriver::ShowMessage(const QString& text) {
    if (m_messageHandler) {
        m_messageHandler(text);
        return;
    }
    QMessageBox::warning(MainWindow(), QGuiApplication::applicationDisplayName(), text);
}

QWidget* CPrintJobDriver::MainWindow() const {
    return m_pMainWnd ? m_pMainWnd.data() : QApplication::activeWindow();
}
