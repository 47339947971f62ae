#pragma once
// A print job that prints a report-style list as ruled pages: a header band with the title and
// the page number, the heading row, a fixed number of row slots and a footer, laid out in the
// printer's device units inside margins. The list is read when the job runs.

#include <QFont>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

#include "DeviceRect.h"
#include "PrintJobDriver.h"

class PrintListSource;
class QFontMetrics;
class QPainter;

class CListReport : public CPrintJobDriver {
public:
    CListReport() = default;

    // The list is borrowed for the length of Print.
    void SetList(const PrintListSource* list) { m_pList = list; }
    void SetTitle(const QString& title) { m_strTitle = title; }
    // May hold line breaks.
    void SetFooter(const QString& footer) { m_strFooter = footer; }
    // "%d" for the page, then "%d" for the page count.
    void SetPageFormat(const QString& format) { m_strPageFormat = format; }

protected:
    bool OnPreparePrinting(CPrintInfo& info) override;
    void OnBeginPrinting(CPrinterContext& dc, CPrintInfo& info) override;
    void OnPrint(CPrinterContext& dc, CPrintInfo& info) override;

    // Each band is placed at an edge of area and moves that edge past itself; with measureOnly
    // nothing is drawn. They return the width and height they took.
    QSize LayoutPageHeader(CPrinterContext& dc, CDeviceRect& area, int page, int pageCount,
                           bool measureOnly);
    QSize LayoutHeadingRow(CPrinterContext& dc, CDeviceRect& area, bool measureOnly);
    QSize LayoutFooter(CPrinterContext& dc, CDeviceRect& area, bool measureOnly);
    void DeflateByMargins(CPrinterContext& dc, CDeviceRect& rect) const;

private:
    // Measures the bands, the header with "pageCount of pageCount", and returns the row slots
    // that fit; 0 or less when not even one does.
    int MeasureRowsPerPage(CPrinterContext& dc, CDeviceRect area, int pageCount);
    void ScaleColumns(int width);
    // The cell's text m_nCellPadding inside its left and right edges, cut short with an ellipsis
    // there.
    void DrawCellText(QPainter& painter, const QFontMetrics& metrics, const CDeviceRect& cell,
                      int column, const QString& text) const;

    int m_nMarginLeft = 10;  // millimetres, inward from the printable area's edges
    int m_nMarginTop = 10;
    int m_nMarginRight = 10;
    int m_nMarginBottom = 10;
    QFont m_fontBody;
    QFont m_fontTitle;
    QFont m_fontFooter;
    int m_nRowHeight = 0;
    // Left edge of each column and the right edge of the last, from the left margin: first the
    // cumulative widths on screen, then scaled to the page.
    std::vector<int> m_columnEdges;
    std::vector<Qt::Alignment> m_columnAlignments;
    std::vector<std::optional<QString>> m_columnTitles;
    int m_nRowsPerPage = 1;
    int m_nColumns = 0;
    int m_nItems = 0;
    const PrintListSource* m_pList = nullptr;
    QString m_strTitle;
    QString m_strFooter;
    QString m_strPageFormat;
    QString m_strTitleFace = QStringLiteral("Arial");
    QString m_strFooterFace = QStringLiteral("Arial");
    QString m_strBodyFace = QStringLiteral("Arial");
    int m_nTitlePoints = 12;
    int m_nFooterPoints = 6;
    int m_nBodyPoints = 8;
    // Reserved at the bottom of each page: the footer's height and 2 units under it.
    int m_nFooterBand = 0;
    // Between a cell's edges and its text, and the width of the rules: their sizes at 300 dpi
    // whatever the printer's resolution, so that texts stay apart and rules visible.
    int m_nCellPadding = 5;
    int m_nGridPen = 1;
};
