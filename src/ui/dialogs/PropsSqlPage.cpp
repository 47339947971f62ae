#include "dialogs/PropsSqlPage.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QRect>
#include <QSize>

#include "widgets/DialogUnits.h"

CPropsSqlPage::CPropsSqlPage(QWidget* parent)
    : QWidget(parent), m_edit(new QPlainTextEdit(this)), m_plan(new QPlainTextEdit(this)) {
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
    m_plan->setObjectName(QStringLiteral("planText"));
    m_plan->setReadOnly(true);
    m_plan->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // A plan is a table drawn in characters: it keeps its columns only unwrapped and fixed-width.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    m_plan->setFont(fixed);
    m_plan->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_plan->hide();
}

void CPropsSqlPage::SetPlanText(const QString& planText) {
    m_plan->setPlainText(planText);
    m_plan->setVisible(!planText.isEmpty());
    LayOut();
}

QString CPropsSqlPage::PlanText() const {
    return m_plan->toPlainText();
}

void CPropsSqlPage::SetSqlText(const QString& sqlText) {
    m_edit->setPlainText(sqlText);
}

QString CPropsSqlPage::SqlText() const {
    return m_edit->toPlainText();
}

void CPropsSqlPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOut();
}

// The field keeps the template's margins (5 units above and left, 6 right and below) and grows
// with the page; a plan takes the lower two thirds, 5 units below the statement.
void CPropsSqlPage::LayOut() {
    const QRect margins = DialogUnitsToPixels(QRect(5, 5, 6, 6), font());
    const int fieldWidth = width() - margins.x() - margins.width();
    const int room = height() - margins.y() - margins.height();
    if (m_plan->isHidden()) {
        m_edit->setGeometry(margins.x(), margins.y(), fieldWidth, room);
        return;
    }
    const int gap = margins.y();
    const int statement = (room - gap) / 3;
    m_edit->setGeometry(margins.x(), margins.y(), fieldWidth, statement);
    m_plan->setGeometry(margins.x(), margins.y() + statement + gap, fieldWidth,
                        room - statement - gap);
}
