// The bands of a list report's page and the margins around them.

#include <QBrush>
#include <QFontMetrics>
#include <QLine>
#include <QPainter>
#include <optional>

#include "ListReport.h"
#include "PrinterContext.h"
#include "ReportText.h"

namespace {
// Selects a font on the painter for as long as it lives.
class FontSelection {
public:
    FontSelection(QPainter& painter, const QFont& font)
        : m_painter(painter), m_previous(painter.font()) {
        m_painter.setFont(font);
    }
    ~FontSelection() { m_painter.setFont(m_previous); }
    FontSelection(const FontSelection&) = delete;
    FontSelection& operator=(const FontSelection&) = delete;

private:
    QPainter& m_painter;
    QFont m_previous;
};
}  // namespace

QSize CListReport::LayoutPageHeader(CPrinterContext& dc, CDeviceRect& area, int page, int pageCount,
                                    bool measureOnly) {
    const QFontMetrics metrics(m_fontTitle, &dc.Device());
    std::optional<FontSelection> selected;
    if (!measureOnly) {
        selected.emplace(dc.Painter(), m_fontTitle);
    }
    const int top = area.top;
    int numberWidth = 0;
    int numberHeight = 0;
    if (!m_strPageFormat.isEmpty()) {
        const CTextBlock number =
            LayoutText(metrics, FormatPageNumber(m_strPageFormat, page, pageCount), area.Width());
        const CDeviceRect r{area.right - number.width, top, area.right, top + number.height};
        if (!measureOnly) {
            DrawTextBlock(dc.Painter(), metrics, r, number, Qt::AlignRight);
        }
        numberWidth = number.width;
        numberHeight = number.height;
    }
    int band = numberHeight;
    if (!m_strTitle.isEmpty()) {
        // The title wraps in the space left of the page number.
        const CTextBlock title = LayoutText(metrics, m_strTitle, area.Width() - numberWidth);
        const CDeviceRect r{area.left, top, area.left + title.width, top + title.height};
        if (!measureOnly) {
            DrawTextBlock(dc.Painter(), metrics, r, title, Qt::AlignLeft);
        }
        band = std::max(numberHeight, title.height);
    }
    area.top += band;
    return {numberWidth, band};
}

QSize CListReport::LayoutHeadingRow(CPrinterContext& dc, CDeviceRect& area, bool measureOnly) {
    const int h = m_nRowHeight;
    if (!measureOnly) {
        QPainter& painter = dc.Painter();
        const FontSelection selected(painter, m_fontBody);
        const QFontMetrics metrics(m_fontBody, &dc.Device());
        const int left = area.left;
        const int top = area.top;
        const int right = area.right;
        const int bottom = area.top + h;
        const QLine outline[] = {{left, top, right, top},
                                 {right, top, right, bottom},
                                 {right, bottom, left, bottom},
                                 {left, bottom, left, top}};
        painter.drawLines(outline, 4);
        const QBrush previousBrush = painter.brush();
        painter.setBrush(Qt::white);
        for (int j = 0; j < m_nColumns; ++j) {
            const auto at = static_cast<std::size_t>(j);
            const CDeviceRect cell{left + m_columnEdges[at], top, left + m_columnEdges[at + 1],
                                   bottom};
            // A box's outline runs along its left and top edges and just inside its right and
            // bottom ones.
            if (cell.Width() > 0) {
                painter.drawRect(QRect(cell.left, cell.top, cell.Width() - 1, h - 1));
            }
            if (m_columnTitles[at]) {
                DrawCellText(painter, metrics, cell, j, *m_columnTitles[at]);
            }
            const QLine edges[] = {{cell.left, cell.bottom, cell.left, cell.top},
                                   {cell.left, cell.top, cell.right, cell.top}};
            painter.drawLines(edges, 2);
        }
        painter.setBrush(previousBrush);
    }
    area.top += h;
    return {0, h};
}

QSize CListReport::LayoutFooter(CPrinterContext& dc, CDeviceRect& area, bool measureOnly) {
    int height = 0;
    if (!m_strFooter.isEmpty()) {
        const QFontMetrics metrics(m_fontFooter, &dc.Device());
        const CTextBlock footer = LayoutText(metrics, m_strFooter, area.Width());
        if (!measureOnly) {
            const FontSelection selected(dc.Painter(), m_fontFooter);
            const CDeviceRect r{area.left, area.top, area.left + footer.width,
                                area.top + footer.height};
            DrawTextBlock(dc.Painter(), metrics, r, footer, Qt::AlignLeft);
        }
        height = footer.height;
    }
    area.bottom -= height;
    return {0, height};
}

void CListReport::DeflateByMargins(CPrinterContext& dc, CDeviceRect& rect) const {
    const int dpiX = dc.DpiX();
    const int dpiY = dc.DpiY();
    rect.left += MulDiv(m_nMarginLeft * 100, dpiX, 2540);
    rect.top += MulDiv(m_nMarginTop * 100, dpiY, 2540);
    rect.right -= MulDiv(m_nMarginRight * 100, dpiX, 2540);
    rect.bottom -= MulDiv(m_nMarginBottom * 100, dpiY, 2540);
}

void CListReport::DrawCellText(QPainter& painter, const QFontMetrics& metrics,
                               const CDeviceRect& cell, int column, const QString& text) const {
    if (text.isEmpty()) {
        return;
    }
    const CDeviceRect inner{cell.left + m_nCellPadding, cell.top, cell.right - m_nCellPadding,
                            cell.bottom};
    CTextBlock block = LayoutText(metrics, text);
    ElideLines(metrics, block, inner.Width());
    DrawTextBlock(painter, metrics, inner, block,
                  m_columnAlignments[static_cast<std::size_t>(column)]);
}
