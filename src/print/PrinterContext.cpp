#include "PrinterContext.h"

#include <QPaintDevice>

QSize CPrinterContext::PrintableSize() {
    return {Device().width(), Device().height()};
}

int CPrinterContext::DpiX() {
    return Device().logicalDpiX();
}

int CPrinterContext::DpiY() {
    return Device().logicalDpiY();
}

bool CPrinterContext::StartDoc(const QString&, const QString&) {
    m_strFailure.clear();
    return m_painter.begin(&Device());
}

bool CPrinterContext::StartPage() {
    return m_painter.isActive();
}

bool CPrinterContext::EndPage() {
    return m_painter.isActive();
}

void CPrinterContext::EndDoc() {
    if (m_painter.isActive()) {
        m_painter.end();
    }
}

void CPrinterContext::AbortDoc() {
    if (m_painter.isActive()) {
        m_painter.end();
    }
}
