#include "dialogs/PropsSqlPage.h"

#include <QPlainTextEdit>
#include <QRect>
#include <QSize>

#include "widgets/DialogUnits.h"

CPropsSqlPage::CPropsSqlPage(QWidget* parent) : QWidget(parent), m_edit(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("sqlPage"));
    setMinimumSize(DialogUnitsToPixels(QSize(296, 141), font()));
    m_edit->setObjectName(QStringLiteral("sqlText1006"));
    m_edit->setReadOnly(true);
    m_edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Long lines wrap at the field's width for reading; the wraps are not part of the text, so
    // what is selected and copied is the statement exactly.
    m_edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void CPropsSqlPage::SetSqlText(const QString& sqlText) {
    m_edit->setPlainText(sqlText);
}

QString CPropsSqlPage::SqlText() const {
    return m_edit->toPlainText();
}

void CPropsSqlPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The field keeps the template's margins (5 units above and left, 6 right and below) and
    // grows with the page.
    const QRect topLeft = DialogUnitsToPixels(QRect(5, 5, 6, 6), font());
    m_edit->setGeometry(topLeft.x(), topLeft.y(), width() - topLeft.x() - topLeft.width(),
                        height() - topLeft.y() - topLeft.height());
}
