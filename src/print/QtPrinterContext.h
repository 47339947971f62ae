#pragma once
// The printer context of a QPrinter: a CUPS printer or a PDF file, painted in printer dots with
// the painter's origin at the top left of the printable area.

#include <QString>

#include "PrinterContext.h"

class QPrinter;

class CQtPrinterContext : public CPrinterContext {
public:
    // The printer is borrowed and must outlive the context.
    explicit CQtPrinterContext(QPrinter& printer);

    QPaintDevice& Device() override;
    QSize PrintableSize() override;
    bool StartDoc(const QString& docName, const QString& outputFile) override;
    bool StartPage() override;
    bool EndPage() override;
    void EndDoc() override;
    void AbortDoc() override;

private:
    QPrinter& m_printer;
    bool m_bFirstPage = true;
};
