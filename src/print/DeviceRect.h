#pragma once
// A rectangle in device units with exclusive right and bottom edges, as the layout measures it,
// and the rounding that turns physical sizes into device units.

#include <QRect>

struct CDeviceRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    QRect ToQRect() const { return {left, top, right - left, bottom - top}; }
};

// a × b / c rounded to the nearest integer, c > 0.
inline int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    return static_cast<int>((product >= 0 ? product + c / 2 : product - c / 2) / c);
}
