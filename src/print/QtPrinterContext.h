#pragma once
// The printer context of a QPrinter: a CUPS printer or a PDF file, painted in printer dots with
// the painter's origin at the top left of the printable area. Pages are drawn into a PDF file; a
// CUPS printer gets it as one job once the last page is drawn, so that an aborted document never
// reaches the queue.

#include <QString>
#include <memory>

#include "PrinterContext.h"

class CPdfOutput;
class QPageLayout;
class QPrinter;

class CQtPrinterContext : public CPrinterContext {
public:
    // The printer is borrowed and must outlive the context.
    explicit CQtPrinterContext(QPrinter& printer);
    ~CQtPrinterContext() override;

    // The open document's PDF writer; the printer, of the same resolution, before and after.
    QPaintDevice& Device() override;
    QSize PrintableSize() override;
    // Refused, with the reason in Failure(), when a CUPS queue does not take jobs now or the
    // file cannot be opened.
    bool StartDoc(const QString& docName, const QString& outputFile) override;
    bool StartPage() override;
    bool EndPage() override;
    void EndDoc() override;
    void AbortDoc() override;

private:
    // The printer's paper and margins; a PDF file gets the same margins whatever printer the
    // dialog showed before.
    QPageLayout PageLayout(bool toFile) const;
    // A page that failed: the failed write's reason, or else the one given.
    void FailPage(const QString& reason);
    // The failure told as the file's or the queue's.
    void Fail(const QString& reason);

    QPrinter& m_printer;
    std::unique_ptr<CPdfOutput> m_output;
    // The queue the open document goes to; empty for a file.
    QString m_strQueue;
    QString m_strFile;
    QString m_strDocName;
    bool m_bFirstPage = true;
};
