#include "widgets/Marks.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <cmath>

namespace {
QPixmap stopSign(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const double half = size / 2.0;
    const double radius = half - 0.5;
    QPolygonF octagon;
    for (int corner = 0; corner < 8; ++corner) {
        const double angle = (corner + 0.5) * M_PI / 4;
        octagon << QPointF(half + radius * std::cos(angle), half + radius * std::sin(angle));
    }
    painter.setPen(QPen(QColor(0x7a, 0x0c, 0x0c), 1));
    painter.setBrush(QColor(0xd3, 0x2f, 0x2f));
    painter.drawPolygon(octagon);
    // The white bar across it.
    painter.fillRect(QRectF(size * 0.22, size * 0.42, size * 0.56, size * 0.16), Qt::white);
    return picture;
}
}  // namespace

QIcon BlockerMark() {
    QIcon mark;
    for (int size : {12, 16, 24, 32}) {
        mark.addPixmap(stopSign(size));
    }
    return mark;
}
