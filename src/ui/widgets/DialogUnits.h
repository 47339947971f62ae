#pragma once
// Dialog templates are laid out in dialog units of the dialog's font: one horizontal unit is a
// quarter of the average character width, one vertical unit an eighth of the character height.

#include <QFont>
#include <QRect>

QRect DialogUnitsToPixels(const QRect& units, const QFont& font);
QSize DialogUnitsToPixels(const QSize& units, const QFont& font);

class QWidget;
// Puts control at its template rectangle in its parent dialog's units. A label whose text is
// wider than the template allows for this font is widened to its text, never cut.
void PlaceInDialogUnits(QWidget* control, const QRect& units);

// A width in pixels of a window designed for the 8-point dialog font, for font: it grows and
// shrinks as the dialog units do, so that what fitted then fits now.
int TemplatePixelsToPixels(int pixels, const QFont& font);
