#include "widgets/DialogUnits.h"

#include <algorithm>

#include <QFontMetrics>
#include <QLabel>

namespace {
// The average width of the 52 letters, rounded, as dialog templates were measured; a font's own
// average character width runs narrower and leaves texts cut.
int averageLetterWidth(const QFontMetrics& m) {
    const int letters =
        m.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return (letters / 26 + 1) / 2;
}
// The average letter width of the 8-point dialog font the templates were drawn for.
constexpr int kTemplateLetterWidth = 6;
int scaleX(int units, const QFontMetrics& m) {
    return (units * averageLetterWidth(m) + 2) / 4;
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

void PlaceInDialogUnits(QWidget* control, const QRect& units) {
    const QFont dialogFont =
        control->parentWidget() ? control->parentWidget()->font() : control->font();
    QRect pixels = DialogUnitsToPixels(units, dialogFont);
    if (const auto* label = qobject_cast<const QLabel*>(control);
        label && !label->wordWrap() && label->pixmap().isNull()) {
        pixels.setWidth(std::max(pixels.width(), label->sizeHint().width()));
    }
    control->setGeometry(pixels);
}

int TemplatePixelsToPixels(int pixels, const QFont& font) {
    const QFontMetrics m(font);
    return (pixels * averageLetterWidth(m) + kTemplateLetterWidth / 2) / kTemplateLetterWidth;
}
