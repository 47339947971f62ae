#include "sessionview/FilterBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

CFilterBar::CFilterBar(QWidget* parent) : QWidget(parent), m_edit(new QLineEdit(this)) {
    setObjectName(QStringLiteral("filterBar"));
    m_edit->setObjectName(QStringLiteral("filterEdit"));
    m_edit->setPlaceholderText(
        QStringLiteral("text in any column, column:text, -text to leave out"));
    m_edit->setClearButtonEnabled(true);
    auto* label = new QLabel(QStringLiteral("&Filter:"), this);
    label->setBuddy(m_edit);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(label);
    layout->addWidget(m_edit, 1);
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textChanged, this, &CFilterBar::filterChanged);
    hide();
}

void CFilterBar::Open() {
    show();
    m_edit->setFocus();
    m_edit->selectAll();
}

QString CFilterBar::Text() const {
    return m_edit->text();
}

bool CFilterBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_edit->clear();
        hide();
        emit closed();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
