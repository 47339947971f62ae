#pragma once
// A rectangle in device units with exclusive right and bottom edges, as the layout measures it.

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
