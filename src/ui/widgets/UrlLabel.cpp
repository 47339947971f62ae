#include "widgets/UrlLabel.h"

#include <QFont>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QRect>

#include "widgets/MessageBox.h"
#include "widgets/UrlLauncher.h"

namespace {
QString openErrorText(int result) {
    switch (result) {
        case 0:
            return QStringLiteral("The operating system is out\nof memory or resources.");
        case 2:
            return QStringLiteral("The specified file was not found.");
        case 3:
            return QStringLiteral("The specified path was not found.");
        case 5:
            return QStringLiteral("The operating system denied\naccess to the specified file.");
        case 8:
            return QStringLiteral("There was not enough memory to complete the operation.");
        case 11:
            return QStringLiteral(
                "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).");
        case 26:
            return QStringLiteral("A sharing violation occurred. ");
        case 27:
            return QStringLiteral("The filename association is\nincomplete or invalid.");
        case 28:
            return QStringLiteral(
                "The DDE transaction could not\nbe completed because the request timed out.");
        case 29:
            return QStringLiteral("The DDE transaction failed.");
        case 30:
            return QStringLiteral(
                "The DDE transaction could not\nbe completed because other DDE "
                "transactions\nwere being processed.");
        case 31:
            return QStringLiteral(
                "There is no application associated\nwith the given filename extension.");
        case 32:
            return QStringLiteral("The specified dynamic-link library was not found.");
        default:
            return QStringLiteral("Unknown Error (%1) occurred.").arg(result);
    }
}
}  // namespace

CUrlLabel::CUrlLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent), m_hotColor(palette().color(QPalette::Highlight)) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void CUrlLabel::Attach() {
    if (m_target.isEmpty()) {
        m_target = text();
    }
    if (text().isEmpty()) {
        setText(m_target);
    }
    SetUnderlined(m_isUnderlined);
    FitToText();
    // Moves reach the label without a button held, so it can turn hot.
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setToolTip(m_target);
}

void CUrlLabel::SetTarget(const QString& address, bool underlined) {
    m_target = address;
    SetUnderlined(underlined);
    FitToText();
    setToolTip(address);
}

void CUrlLabel::MarkVisited(bool visited) {
    m_isVisited = visited;
    update();
}

void CUrlLabel::SetUnderlined(bool underlined) {
    m_isUnderlined = underlined;
    QFont underlinedFont = font();
    underlinedFont.setUnderline(underlined);
    setFont(underlinedFont);
    update();
}

void CUrlLabel::FitToText() {
    const QSize extent = QFontMetrics(font()).size(0, text());
    QRect box = geometry();
    if (alignment() & Qt::AlignVCenter) {
        const int shrink = (box.height() - extent.height()) / 2;
        box.adjust(0, shrink, 0, -shrink);
    } else {
        box.setHeight(extent.height());
    }
    if (alignment() & Qt::AlignHCenter) {
        const int shrink = (box.width() - extent.width()) / 2;
        box.adjust(shrink, 0, -shrink, 0);
    } else if (alignment() & Qt::AlignRight) {
        box.setLeft(box.left() + box.width() - extent.width());
    } else {
        box.setWidth(extent.width());
    }
    setGeometry(box);
}

QColor CUrlLabel::TextColor() const {
    if (m_isHot) {
        return m_hotColor;
    }
    return m_isVisited ? m_visitedColor : m_linkColor;
}

void CUrlLabel::ReportOpenError(int result) {
    NimbraMessageBox(QStringLiteral("Unable to open hyperlink:\n\n") + openErrorText(result),
                     MsgButtons::Ok, MsgIcon::Warning);
}

void CUrlLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    painter.setPen(TextColor());
    const int flags = int(alignment()) | (wordWrap() ? int(Qt::TextWordWrap) : 0);
    painter.drawText(contentsRect(), flags, text());
}

void CUrlLabel::mouseMoveEvent(QMouseEvent* event) {
    QLabel::mouseMoveEvent(event);
    const bool inside = rect().contains(event->position().toPoint());
    // Outside moves reach a cold label only while a button drags from it.
    if (!m_isHot && inside) {
        m_isHot = true;
        repaint();
        // Held so that the move that leaves the label arrives here too.
        grabMouse();
    } else if (m_isHot && !inside) {
        EndHot();
    }
}

void CUrlLabel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    m_isPressed = event->button() == Qt::LeftButton;
}

void CUrlLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    const bool clicked = m_isPressed && event->button() == Qt::LeftButton &&
                         rect().contains(event->position().toPoint());
    m_isPressed = false;
    if (clicked) {
        OnLabelClicked();
    }
}

void CUrlLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    if (m_isHot) {
        EndHot();
    }
}

void CUrlLabel::hideEvent(QHideEvent* event) {
    QLabel::hideEvent(event);
    if (m_isHot) {
        EndHot();
    }
}

void CUrlLabel::Beep() {
    MessageBeep();
}

void CUrlLabel::OnLabelClicked() {
    const int result = OpenAddress(m_target);
    m_isVisited = result > 32;
    if (m_isVisited) {
        MarkVisited(true);
        return;
    }
    // The message box needs the mouse; the label turns cold when the pointer next leaves it.
    if (mouseGrabber() == this) {
        releaseMouse();
    }
    Beep();
    ReportOpenError(result);
}

void CUrlLabel::EndHot() {
    m_isHot = false;
    if (mouseGrabber() == this) {
        releaseMouse();
    }
    repaint();
}
