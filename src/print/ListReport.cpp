#include "ListReport.h"

#include <QFontMetrics>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <algorithm>

#include "PrintListSource.h"
#include "PrinterContext.h"

namespace {
constexpr int kMaxHeadingLength = 127;
// The highest page count a 16-bit page number holds short of "count not known".
constexpr int kMaxPageCount = kPageCountUnknown - 1;

// The printer font of a point size: its em, the character height without internal leading, is
// dpi × points × 10 / 720 device units. No kerning, as the platform measured; no hinting, so
// that a text is as wide on a PDF as on a printer.
QFont PointFont(int points, const QString& face, int dpiY) {
    QFont font(face);
    font.setPixelSize(std::max(1, dpiY * points * 10 / 720));
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

Qt::Alignment HorizontalAlignment(Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter) {
        return Qt::AlignHCenter;
    }
    return alignment & Qt::AlignRight ? Qt::AlignRight : Qt::AlignLeft;
}
}  // namespace

bool CListReport::OnPreparePrinting(CPrintInfo& info) {
    info.SetMinPage(1);
    if (!m_pList) {
        return false;
    }
    m_nItems = m_pList->RowCount();
    if (m_nItems <= 0) {
        return false;
    }
    m_nColumns = m_pList->ColumnCount();
    if (m_nColumns <= 0) {
        return false;
    }
    const auto columns = static_cast<std::size_t>(m_nColumns);
    m_columnEdges.assign(columns + 1, 0);
    m_columnAlignments.assign(columns, Qt::AlignLeft);
    m_columnTitles.assign(columns, std::nullopt);
    for (std::size_t i = 0; i < columns; ++i) {
        PrintListColumn column;
        if (!m_pList->GetColumn(static_cast<int>(i), column)) {
            continue;
        }
        m_columnEdges[i + 1] = column.width;
        m_columnAlignments[i] = HorizontalAlignment(column.alignment);
        m_columnTitles[i] = column.heading.left(kMaxHeadingLength);
    }
    return DoPreparePrinting(info);
}

void CListReport::OnBeginPrinting(CPrinterContext& dc, CPrintInfo& info) {
    const int dpiY = dc.DpiY();
    m_nCellPadding = MulDiv(5, dc.DpiX(), 300);
    m_nGridPen = std::max(1, MulDiv(1, dc.DpiX(), 300));
    m_fontBody = PointFont(m_nBodyPoints, m_strBodyFace, dpiY);
    m_fontTitle = PointFont(m_nTitlePoints, m_strTitleFace, dpiY);
    m_fontFooter = PointFont(m_nFooterPoints, m_strFooterFace, dpiY);
    m_nRowHeight = QFontMetrics(m_fontBody, &dc.Device()).height() + 4;

    for (std::size_t i = 1; i < m_columnEdges.size(); ++i) {
        m_columnEdges[i] += m_columnEdges[i - 1];
    }
    CDeviceRect area = info.m_rectDraw;
    DeflateByMargins(dc, area);
    ScaleColumns(area.Width());

    // The header band is measured with the widest page number the job shows, so that no page's
    // band is taller than measured; a larger count can only take rows away, so this settles.
    int measuredWith = 0;
    int pages = 0;
    m_nRowsPerPage = MeasureRowsPerPage(dc, area, measuredWith);
    while (m_nRowsPerPage >= 1) {
        pages = std::min((m_nItems + m_nRowsPerPage - 1) / m_nRowsPerPage, kMaxPageCount);
        if (pages == measuredWith) {
            break;
        }
        measuredWith = pages;
        m_nRowsPerPage = MeasureRowsPerPage(dc, area, measuredWith);
    }
    if (m_nRowsPerPage < 1) {
        m_nRowsPerPage = 1;
        info.m_bRefused = true;
        ShowMessage(QStringLiteral("The page is too small for the report."));
        return;
    }
    info.SetMaxPage(static_cast<quint16>(pages));
}

int CListReport::MeasureRowsPerPage(CPrinterContext& dc, CDeviceRect area, int pageCount) {
    LayoutHeadingRow(dc, area, true);
    LayoutPageHeader(dc, area, pageCount, pageCount, true);
    m_nFooterBand = LayoutFooter(dc, area, true).height() + 2;
    return (area.bottom - area.top) / (m_nRowHeight + 1) - 1;
}

// Columns keep their share of the width on screen; when they have none they share equally.
void CListReport::ScaleColumns(int width) {
    const int total = m_columnEdges.back();
    if (total == 0) {
        for (std::size_t i = 0; i < m_columnEdges.size(); ++i) {
            m_columnEdges[i] = static_cast<int>(static_cast<long long>(width) *
                                                static_cast<long long>(i) / m_nColumns);
        }
        return;
    }
    const double factor = static_cast<double>(width) / total;
    for (int& edge : m_columnEdges) {
        edge = static_cast<int>(edge * factor);
    }
}

void CListReport::OnPrint(CPrinterContext& dc, CPrintInfo& info) {
    QPainter& painter = dc.Painter();
    const int page = static_cast<int>(info.m_nCurPage);
    CDeviceRect area = info.m_rectDraw;
    DeflateByMargins(dc, area);
    const Qt::BGMode previousMode = painter.backgroundMode();
    painter.setBackgroundMode(Qt::TransparentMode);
    const QPen previousPen = painter.pen();
    painter.setPen(QPen(Qt::black, m_nGridPen));
    LayoutPageHeader(dc, area, page, info.GetMaxPage(), false);
    LayoutHeadingRow(dc, area, false);

    const QFont previousFont = painter.font();
    painter.setFont(m_fontBody);
    const QFontMetrics metrics(m_fontBody, &dc.Device());
    const int h = m_nRowHeight;
    const int first = (page - 1) * m_nRowsPerPage;
    // The grid goes out in one call per page; it lies under no text. The cells' edges join into
    // one line along each slot's top and one down each column's edge, which marks the page as
    // the edges of every cell would, with a fraction of the lines.
    const int tableLeft = area.left + m_columnEdges.front();
    const int tableRight = area.left + m_columnEdges.back();
    std::vector<QLine> grid;
    grid.reserve(static_cast<std::size_t>(m_nRowsPerPage + m_nColumns + 2));
    int y = area.top;
    for (int row = first; row < first + m_nRowsPerPage; ++row) {
        for (int j = 0; row < m_nItems && j < m_nColumns; ++j) {
            const auto at = static_cast<std::size_t>(j);
            const CDeviceRect cell{area.left + m_columnEdges[at], y,
                                   area.left + m_columnEdges[at + 1], y + h};
            DrawCellText(painter, metrics, cell, j, m_pList->CellText(row, j));
        }
        grid.emplace_back(tableLeft, y, tableRight, y);
        y += h + 1;
    }
    for (const int edge : m_columnEdges) {
        grid.emplace_back(area.left + edge, area.top, area.left + edge, y - 1);
    }
    grid.emplace_back(area.left, y, area.right, y);
    painter.drawLines(grid.data(), static_cast<int>(grid.size()));
    painter.setFont(previousFont);

    area = info.m_rectDraw;
    DeflateByMargins(dc, area);
    area.top = area.bottom - m_nFooterBand;
    LayoutFooter(dc, area, false);
    painter.setPen(previousPen);
    painter.setBackgroundMode(previousMode);
}
