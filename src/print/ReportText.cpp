#include "ReportText.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace {
void AppendWrapped(const QFontMetrics& metrics, const QString& paragraph, int width,
                   QStringList& lines) {
    const QStringList words = paragraph.split(QLatin1Char(' '));
    QString line = words.first();
    for (qsizetype i = 1; i < words.size(); ++i) {
        QString candidate = line + QLatin1Char(' ') + words[i];
        if (metrics.horizontalAdvance(candidate) <= width) {
            line = std::move(candidate);
        } else {
            lines << line;
            line = words[i];
        }
    }
    lines << line;
}

int LineLeft(const CDeviceRect& rect, int lineWidth, Qt::Alignment alignment) {
    if (alignment & Qt::AlignHCenter) {
        return rect.left + (rect.Width() - lineWidth) / 2;
    }
    if (alignment & Qt::AlignRight) {
        return rect.right - lineWidth;
    }
    return rect.left;
}
}  // namespace

CTextBlock LayoutText(const QFontMetrics& metrics, const QString& text, int wrapWidth) {
    CTextBlock block;
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& paragraph : normalized.split(QLatin1Char('\n'))) {
        if (wrapWidth < 0) {
            block.lines << paragraph;
        } else {
            AppendWrapped(metrics, paragraph, wrapWidth, block.lines);
        }
    }
    for (const QString& line : block.lines) {
        block.width = std::max(block.width, metrics.horizontalAdvance(line));
    }
    block.height = static_cast<int>(block.lines.size()) * metrics.height();
    return block;
}

void ElideLines(const QFontMetrics& metrics, CTextBlock& block, int width) {
    if (block.width <= width) {
        return;
    }
    block.width = 0;
    for (QString& line : block.lines) {
        if (metrics.horizontalAdvance(line) > width) {
            // Where not even the ellipsis fits, what shows of it still marks the value.
            line = metrics.elidedText(line, Qt::ElideRight, std::max(0, width));
            if (line.isEmpty()) {
                line = QStringLiteral("\u2026");
            }
        }
        block.width = std::max(block.width, metrics.horizontalAdvance(line));
    }
}

void DrawTextBlock(QPainter& painter, const QFontMetrics& metrics, const CDeviceRect& rect,
                   const CTextBlock& block, Qt::Alignment alignment) {
    if (rect.Width() <= 0 || rect.Height() <= 0) {
        return;
    }
    // Text that fits needs no clip, and most cells fit.
    const bool clip = block.width > rect.Width() || block.height > rect.Height();
    if (clip) {
        painter.save();
        painter.setClipRect(rect.ToQRect());
    }
    const int lineHeight = metrics.height();
    int top = rect.top;
    for (const QString& line : block.lines) {
        if (top >= rect.bottom) {
            break;
        }
        if (!line.isEmpty()) {
            const bool left = !(alignment & (Qt::AlignHCenter | Qt::AlignRight));
            const int width = left ? 0 : metrics.horizontalAdvance(line);
            painter.drawText(QPoint(LineLeft(rect, width, alignment), top + metrics.ascent()),
                             line);
        }
        top += lineHeight;
    }
    if (clip) {
        painter.restore();
    }
}

QString FormatPageNumber(const QString& format, int page, int pageCount) {
    QString text;
    int used = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar next = i + 1 < format.size() ? format[i + 1] : QChar();
        if (format[i] == QLatin1Char('%') && next == QLatin1Char('d')) {
            text += QString::number(used == 0 ? page : pageCount);
            used = 1;
            ++i;
        } else if (format[i] == QLatin1Char('%') && next == QLatin1Char('%')) {
            text += QLatin1Char('%');
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}
