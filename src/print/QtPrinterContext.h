#pragma once
// The printer context of a QPrinter: a CUPS printer or a PDF file, painted in printer dots with
// the painter's origin at the top left of the printable area. Pages are drawn into a PDF file; a
// CUPS printer gets it as one job once the last page is drawn, so that an aborted document never
// reaches the queue.

#include <QString>
#include <memory>

#include "PrinterContext.h"

class CPdfOutput;
class QPrinter;

class CQtPrinterContext : public CPrinterContext {
public:
    // The printer is borrowed and must outlive the context.
    explicit CQtPrinterContext(QPrinter& printer);
    ~CQtPrinterContext() override;

    // The open document's PDF writer; the printer, of the same layout, before and after.
    QPaintDevice& Device() override;
    QSize PrintableSize() override;
    // Refused when a CUPS queue does not take jobs now or the file cannot be opened.
    bool StartDoc(const QString& docName, const QString& outputFile) override;
    bool StartPage() override;
    bool EndPage() override;
    void EndDoc() override;
    void AbortDoc() override;

private:
    QPrinter& m_printer;
    std::unique_ptr<CPdfOutput> m_output;
    // The queue the open document goes to; empty for a file.
    QString m_strQueue;
    QString m_strDocName;
    bool m_bFirstPage = true;
};
