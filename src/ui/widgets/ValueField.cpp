#include "widgets/ValueField.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {
// The text margin QLineEdit keeps inside its contents rectangle.
constexpr int kHorizontalMargin = 2;
}  // namespace

CValueField::CValueField(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    setFocusPolicy(Qt::StrongFocus);
}

void CValueField::SetValue(const QString& value) {
    setText(value);
    setCursorPosition(0);
    UpdateToolTip();
}

QRect CValueField::TextArea() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    return contents.adjusted(kHorizontalMargin, 0, -kHorizontalMargin, 0);
}

bool CValueField::IsCut() const {
    return fontMetrics().horizontalAdvance(text()) > TextArea().width();
}

void CValueField::paintEvent(QPaintEvent* event) {
    if (hasFocus() || !IsCut()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    const QRect area = TextArea();
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
}

void CValueField::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    UpdateToolTip();
}

void CValueField::UpdateToolTip() {
    setToolTip(IsCut() ? text() : QString());
}
