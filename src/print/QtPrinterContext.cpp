#include "QtPrinterContext.h"

#include <QFile>
#include <QPageLayout>
#include <QPrinter>

CQtPrinterContext::CQtPrinterContext(QPrinter& printer) : m_printer(printer) {
    m_printer.setFullPage(false);
}

QPaintDevice& CQtPrinterContext::Device() {
    return m_printer;
}

QSize CQtPrinterContext::PrintableSize() {
    return m_printer.pageLayout().paintRectPixels(m_printer.resolution()).size();
}

bool CQtPrinterContext::StartDoc(const QString& docName, const QString& outputFile) {
    m_printer.setDocName(docName);
    if (!outputFile.isEmpty()) {
        m_printer.setOutputFileName(outputFile);
    }
    m_bFirstPage = true;
    return m_painter.begin(&m_printer);
}

// Beginning the painter opened the first page; every later one is a new page.
bool CQtPrinterContext::StartPage() {
    if (!m_bFirstPage && !m_printer.newPage()) {
        return false;
    }
    m_bFirstPage = false;
    return m_painter.isActive();
}

bool CQtPrinterContext::EndPage() {
    return m_painter.isActive() && m_printer.printerState() != QPrinter::Error;
}

void CQtPrinterContext::EndDoc() {
    if (m_painter.isActive()) {
        m_painter.end();
    }
}

// Qt's PDF and CUPS engines cannot abort; a file they leave behind is removed instead.
void CQtPrinterContext::AbortDoc() {
    const bool aborted = m_printer.abort();
    if (m_painter.isActive()) {
        m_painter.end();
    }
    const QString file = m_printer.outputFileName();
    if (!aborted && m_printer.outputFormat() == QPrinter::PdfFormat && !file.isEmpty()) {
        QFile::remove(file);
    }
}
