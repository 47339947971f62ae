#pragma once
// Text as the report lays it out and draws it: lines start at each line break and, when wrapping,
// break at spaces to fit a width; an "&" is an ordinary character.

#include <QString>
#include <QStringList>
#include <Qt>

#include "DeviceRect.h"

class QFontMetrics;
class QPainter;

struct CTextBlock {
    QStringList lines;
    int width = 0;   // of the widest line
    int height = 0;  // the lines times the font's line height
};

// wrapWidth below 0 keeps every line whole. A word wider than wrapWidth gets a line of its own.
CTextBlock LayoutText(const QFontMetrics& metrics, const QString& text, int wrapWidth = -1);

// Each line wider than width cut short with an ellipsis, as the list on screen shows a value, so
// that a cut value never passes for a whole one.
void ElideLines(const QFontMetrics& metrics, CTextBlock& block, int width);

// Draws the lines downwards from the rectangle's top edge, each aligned across it (AlignLeft,
// AlignRight or AlignHCenter), with the parts outside the rectangle clipped away.
void DrawTextBlock(QPainter& painter, const QFontMetrics& metrics, const CDeviceRect& rect,
                   const CTextBlock& block, Qt::Alignment alignment);

// The format with its first "%d" replaced by page, every later one by pageCount, "%%" by "%".
QString FormatPageNumber(const QString& format, int page, int pageCount);
