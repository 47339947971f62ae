#include "dialogs/PropsSheet.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/PropsGeneralPage.h"
#include "dialogs/PropsLongOpsPage.h"
#include "dialogs/PropsSqlPage.h"

CPropsSheet::CPropsSheet(const QString& caption, QWidget* parent, int firstPage)
    : QDialog(parent),
      m_general(new CPropsGeneralPage),
      m_sql(new CPropsSqlPage),
      m_longOps(new CPropsLongOpsPage),
      m_tabs(new QTabWidget(this)) {
    setWindowTitle(caption);
    QTabWidget* tabs = m_tabs;
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->addTab(m_general, QStringLiteral("General"));
    tabs->addTab(m_sql, QStringLiteral("SQL"));
    tabs->addTab(m_longOps, QStringLiteral("Long Operations"));
    tabs->setCurrentIndex(firstPage);
    connect(tabs, &QTabWidget::currentChanged, this,
            [this] { emit pageShown(m_tabs->currentWidget()); });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    // No page ever reports a change.
    auto* apply = new QPushButton(QStringLiteral("&Apply"), this);
    apply->setObjectName(QStringLiteral("applyButton"));
    apply->setEnabled(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(apply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    // It opens at the pages' size and can be made bigger to read a long statement.
    setSizeGripEnabled(true);
    resize(sizeHint());
}

QWidget* CPropsSheet::CurrentPage() const {
    return m_tabs->currentWidget();
}
