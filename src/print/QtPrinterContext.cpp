#include "QtPrinterContext.h"

#include <QDir>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>

#include "CupsQueue.h"
#include "PdfOutput.h"

namespace {
// 10 points on each side: what Qt gives a PDF file on a printer that never showed a CUPS queue.
const QMarginsF kPdfMargins(10, 10, 10, 10);

QString Native(const QString& file) {
    return QDir::toNativeSeparators(file);
}
}  // namespace

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
    const bool toFile =
        m_output ? m_strQueue.isEmpty() : m_printer.outputFormat() == QPrinter::PdfFormat;
    return PageLayout(toFile).paintRectPixels(m_printer.resolution()).size();
}

QPageLayout CQtPrinterContext::PageLayout(bool toFile) const {
    const QPageLayout chosen = m_printer.pageLayout();
    if (!toFile) {
        return chosen;
    }
    return {chosen.pageSize(), chosen.orientation(), kPdfMargins, QPageLayout::Point};
}

bool CQtPrinterContext::StartDoc(const QString& docName, const QString& outputFile) {
    SetFailure({});
    m_strFile = outputFile.isEmpty() ? m_printer.outputFileName() : outputFile;
    m_strQueue = m_strFile.isEmpty() ? m_printer.printerName() : QString();
    m_strDocName = docName;
    QString why;
    if (m_strFile.isEmpty() && !CupsQueueAcceptsJobs(m_strQueue, why)) {
        SetFailure(why);
        return false;
    }
    m_output = std::make_unique<CPdfOutput>();
    if (!m_output->Open(m_strFile, PageLayout(!m_strFile.isEmpty()), m_printer.resolution(),
                        docName)) {
        SetFailure(m_strQueue.isEmpty()
                       ? QStringLiteral("The PDF file \"%1\" could not be opened: %2.")
                             .arg(Native(m_strFile), m_output->Failure())
                       : QStringLiteral("No temporary file for \"%1\" could be made in \"%2\": %3.")
                             .arg(m_strQueue, Native(QDir::tempPath()), m_output->Failure()));
        m_output.reset();
        return false;
    }
    m_bFirstPage = true;
    if (CPrinterContext::StartDoc(docName, outputFile)) {
        return true;
    }
    AbortDoc();
    Fail(QStringLiteral("the document could not be started"));
    return false;
}

// Beginning the painter opened the first page; every later one is a new page.
bool CQtPrinterContext::StartPage() {
    if (!m_bFirstPage && !m_output->Writer().newPage()) {
        FailPage(QStringLiteral("the page could not be started"));
        return false;
    }
    m_bFirstPage = false;
    return m_painter.isActive();
}

bool CQtPrinterContext::EndPage() {
    if (!m_output->Written() || !m_painter.isActive()) {
        FailPage(QStringLiteral("the page could not be drawn"));
        return false;
    }
    return true;
}

void CQtPrinterContext::EndDoc() {
    CPrinterContext::EndDoc();
    QString reason;
    if (!m_output->Close()) {
        FailPage({});
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

// A failed write is the reason when there was one.
void CQtPrinterContext::FailPage(const QString& reason) {
    if (m_output->Written()) {
        Fail(reason);
    } else if (m_strQueue.isEmpty()) {
        Fail(m_output->Failure());
    } else {
        Fail(QStringLiteral("the temporary file \"%1\" could not be written: %2")
                 .arg(Native(m_output->FileName()), m_output->Failure()));
    }
}

void CQtPrinterContext::Fail(const QString& reason) {
    SetFailure(m_strQueue.isEmpty()
                   ? QStringLiteral("Could not write the PDF file \"%1\": %2.")
                         .arg(Native(m_strFile), reason)
                   : QStringLiteral("Could not print to \"%1\": %2.").arg(m_strQueue, reason));
}
