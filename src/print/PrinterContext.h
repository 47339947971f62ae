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
    // Closes the document; when its output cannot be completed, Failure() tells why.
    virtual void EndDoc();
    // Drops the document with the pages spooled so far, where the device allows it.
    virtual void AbortDoc();
    // Why the last document's output failed, in words for the user; empty when nothing failed
    // that the user has not seen.
    QString Failure() const { return m_strFailure; }

protected:
    void SetFailure(const QString& failure) { m_strFailure = failure; }

    QPainter m_painter;

private:
    QString m_strFailure;
};
