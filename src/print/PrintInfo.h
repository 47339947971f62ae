#pragma once
// The record of one print job: the document's page range, the range the user chose, the page
// being printed and the printable area.

#include <QString>
#include <QtGlobal>

#include "DeviceRect.h"
#include "PrintDestination.h"

class CPrinterContext;

inline constexpr quint16 kPageCountUnknown = 0xFFFF;

struct CPrintInfo {
    quint16 GetMinPage() const { return m_nMinPage; }
    quint16 GetMaxPage() const { return m_nMaxPage; }
    void SetMinPage(quint16 page) { m_nMinPage = page; }
    void SetMaxPage(quint16 page) { m_nMaxPage = page; }

    // The document's pages; the last stays kPageCountUnknown until the begin step counts them.
    quint16 m_nMinPage = 1;
    quint16 m_nMaxPage = kPageCountUnknown;
    // The range the user chose in the print dialog.
    quint16 m_nFromPage = 1;
    quint16 m_nToPage = kPageCountUnknown;
    unsigned m_nCurPage = 1;
    bool m_bContinuePrinting = true;
    // The printable area in device units, its origin where the painter's is.
    CDeviceRect m_rectDraw;

    // What the print dialog offers when the user has chosen nothing yet in this run.
    CPrintDestination m_offered;
    // Filled by the print dialog. The context is the dialog's; the job only borrows it. The
    // choice keeps the printer and file last used beside the one chosen; a job to a file without
    // a name asks for one.
    CPrinterContext* m_pDC = nullptr;
    CPrintDestination m_chosen;
    // The copies the job draws itself, for an output that cannot make them (a PDF file):
    // collated, the whole range again and again; otherwise each page so many times in a row.
    int m_nCopies = 1;
    bool m_bCollate = true;

    // Set by the begin step when the job cannot be printed: the document is never started.
    bool m_bRefused = false;
};
