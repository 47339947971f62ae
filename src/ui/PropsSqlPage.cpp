#include "PropsSqlPage.h"

#include <QPlainTextEdit>
#include <QRect>
#include <QSize>

#include "DialogUnits.h"

CPropsSqlPage::CPropsSqlPage(QWidget* parent) : QWidget(parent), m_edit(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("sqlPage"));
    setFixedSize(DialogUnitsToPixels(QSize(296, 141), font()));
    m_edit->setObjectName(QStringLiteral("sqlText1006"));
    m_edit->setGeometry(DialogUnitsToPixels(QRect(5, 5, 285, 130), font()));
    m_edit->setReadOnly(true);
    m_edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void CPropsSqlPage::SetSqlText(const QString& sqlText) {
    // The document takes each "\r\n" as one line break.
    m_edit->setPlainText(sqlText);
}
