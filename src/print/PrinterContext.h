#pragma once
// A printer drawing context: the surface pages are painted on, measured in device units, and the
// spooler document around them.

#include <QPainter>
#include <QSize>
#include <QString>

class QPaintDevice;

class CPrinterContext {
public:
    CPrinterContext() = default;
    CPrinterContext(const CPrinterContext&) = delete;
    CPrinterContext& operator=(const CPrinterContext&) = delete;
    virtual ~CPrinterContext() = default;

    // The surface; fonts are measured on it before the document starts too.
    virtual QPaintDevice& Device() = 0;
    // The printable area's width and height in device units.
    virtual QSize PrintableSize();
    // Dots per inch across and down.
    int DpiX();
    int DpiY();

    // Paints on the device from a successful StartDoc to EndDoc or AbortDoc.
    QPainter& Painter() { return m_painter; }

    // An empty outputFile leaves the output where the device sends it.
    virtual bool StartDoc(const QString& docName, const QString& outputFile);
    virtual bool StartPage();
    virtual bool EndPage();
    virtual void EndDoc();
    // Drops the document with the pages spooled so far, where the device allows it.
    virtual void AbortDoc();

protected:
    QPainter m_painter;
};
