#include "DialogUnits.h"

#include <QFontMetrics>

namespace {
int scaleX(int units, const QFontMetrics& m) {
    return (units * m.averageCharWidth() + 2) / 4;
}
int scaleY(int units, const QFontMetrics& m) {
    return (units * m.height() + 4) / 8;
}
}  // namespace

QRect DialogUnitsToPixels(const QRect& units, const QFont& font) {
    const QFontMetrics m(font);
    return QRect(scaleX(units.x(), m), scaleY(units.y(), m), scaleX(units.width(), m),
                 scaleY(units.height(), m));
}

QSize DialogUnitsToPixels(const QSize& units, const QFont& font) {
    const QFontMetrics m(font);
    return QSize(scaleX(units.width(), m), scaleY(units.height(), m));
}
