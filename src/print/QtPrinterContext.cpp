#include "QtPrinterContext.h"

#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>

#include "CupsQueue.h"
#include "PdfOutput.h"

CQtPrinterContext::CQtPrinterContext(QPrinter& printer) : m_printer(printer) {
    m_printer.setFullPage(false);
}

CQtPrinterContext::~CQtPrinterContext() {
    if (m_output) {
        AbortDoc();
    }
}

QPaintDevice& CQtPrinterContext::Device() {
    if (m_output) {
        return m_output->Writer();
    }
    return m_printer;
}

QSize CQtPrinterContext::PrintableSize() {
    return m_printer.pageLayout().paintRectPixels(m_printer.resolution()).size();
}

bool CQtPrinterContext::StartDoc(const QString& docName, const QString& outputFile) {
    const QString file = outputFile.isEmpty() ? m_printer.outputFileName() : outputFile;
    m_strQueue = file.isEmpty() ? m_printer.printerName() : QString();
    m_strDocName = docName;
    if (file.isEmpty() && !CupsQueueAcceptsJobs(m_strQueue)) {
        return false;
    }
    m_output = std::make_unique<CPdfOutput>();
    if (!m_output->Open(file, m_printer, docName)) {
        m_output.reset();
        return false;
    }
    m_bFirstPage = true;
    if (CPrinterContext::StartDoc(docName, outputFile)) {
        return true;
    }
    AbortDoc();
    return false;
}

// Beginning the painter opened the first page; every later one is a new page.
bool CQtPrinterContext::StartPage() {
    if (!m_bFirstPage && !m_output->Writer().newPage()) {
        return false;
    }
    m_bFirstPage = false;
    return m_painter.isActive();
}

bool CQtPrinterContext::EndPage() {
    if (!m_output->Written()) {
        SetFailure(m_output->Failure());
        return false;
    }
    return m_painter.isActive();
}

void CQtPrinterContext::EndDoc() {
    CPrinterContext::EndDoc();
    QString reason;
    if (!m_output->Close()) {
        SetFailure(m_output->Failure());
    } else if (!m_strQueue.isEmpty() && !SubmitToCupsQueue(m_strQueue, m_output->FileName(),
                                                           m_strDocName, m_printer, reason)) {
        SetFailure(
            QStringLiteral("Could not send the print job to \"%1\": %2").arg(m_strQueue, reason));
    }
    // A temporary file goes with it.
    m_output.reset();
}

void CQtPrinterContext::AbortDoc() {
    CPrinterContext::AbortDoc();
    if (m_output) {
        m_output->Discard();
        m_output.reset();
    }
}
