#pragma once
// One print job for an object that is not a view: the print dialog, the optional output file,
// the spooler document and the page loop. A derived class supplies the pages through the
// On... steps.

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "PrintInfo.h"

class CPrinterContext;

class CPrintJobDriver {
public:
    CPrintJobDriver() = default;
    CPrintJobDriver(const CPrintJobDriver&) = delete;
    CPrintJobDriver& operator=(const CPrintJobDriver&) = delete;
    virtual ~CPrintJobDriver() = default;

    // Runs the whole job; returns when it was spooled, abandoned or refused.
    virtual void Print();

    // The window that is disabled while the document is open; the active window when none is set.
    void SetMainWindow(QWidget* window) { m_pMainWnd = window; }
    // Where the job's messages go; a plain warning box when none is set.
    void SetMessageHandler(std::function<void(const QString&)> handler);
    // The name under which the spooler lists the job.
    QString DocName() const { return m_strDocName; }
    void SetDocName(const QString& name) { m_strDocName = name; }
    // The file the print dialog offers for printing to a file until the user has chosen one.
    void SetDefaultOutputFile(const QString& path) { m_strDefaultOutputFile = path; }
    // The last job's destination from an earlier run: offered while this run has chosen none.
    // Its file gives way to the default one when its folder is gone.
    void SetRememberedDestination(const CPrintDestination& destination);
    // Told the destination the user chose once the job's document has started.
    void SetDestinationHandler(std::function<void(const CPrintDestination&)> handler);

protected:
    virtual void OnPrint(CPrinterContext& dc, CPrintInfo& info);
    // After the document was closed, aborted or failed to start, or the begin step refused it.
    virtual void OnEndPrinting(CPrinterContext& dc, CPrintInfo& info);
    // After the print dialog, with the printable area in info; may set the page count.
    virtual void OnBeginPrinting(CPrinterContext& dc, CPrintInfo& info);
    // Whether to go on; the base runs the print dialog.
    virtual bool OnPreparePrinting(CPrintInfo& info);

    // Runs the print dialog over info's page range; false when no printer context was chosen.
    bool DoPreparePrinting(CPrintInfo& info);
    // While the page count is unknown only page 1 is printed.
    void OnPrepareDC(CPrinterContext& dc, CPrintInfo& info);
    void ShowMessage(const QString& text);
    QWidget* MainWindow() const;

private:
    // The job with its document open; false when it failed or was aborted.
    bool PrintPages(CPrinterContext& dc, CPrintInfo& info);
    // Dispatches pending events; false aborts the job (the user cancelled or a quit request).
    bool AbortProc();

    QString m_strDocName = QStringLiteral("(unknown)");
    QString m_strDefaultOutputFile;
    CPrintDestination m_remembered;
    QPointer<QWidget> m_pMainWnd;
    std::function<void(const QString&)> m_messageHandler;
    std::function<void(const CPrintDestination&)> m_destinationHandler;
    bool m_bUserAbort = false;
    bool m_bQuitRequested = false;
};
