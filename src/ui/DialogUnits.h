#pragma once
// Dialog templates are laid out in dialog units of the dialog's font: one horizontal unit is a
// quarter of the average character width, one vertical unit an eighth of the character height.

#include <QFont>
#include <QRect>

QRect DialogUnitsToPixels(const QRect& units, const QFont& font);
QSize DialogUnitsToPixels(const QSize& units, const QFont& font);
