#include "PrintProgress.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "PrintInfo.h"

CPrintProgress::CPrintProgress(QWidget* owner)
    : QDialog(owner), m_page(new QLabel(this)), m_estimate(new QLabel(this)) {
    setObjectName(QStringLiteral("printProgress"));
    setWindowTitle(QGuiApplication::applicationDisplayName());
    setModal(false);
    m_page->setObjectName(QStringLiteral("page"));
    m_estimate->setObjectName(QStringLiteral("estimate"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::rejected, this, &CPrintProgress::reject);
    auto* remaining = new QHBoxLayout;
    remaining->addWidget(new QLabel(QStringLiteral("Time remaining:"), this));
    remaining->addWidget(m_estimate, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_page);
    layout->addLayout(remaining);
    layout->addWidget(buttons);
    setMinimumWidth(280);
}

void CPrintProgress::ShowPage(unsigned page, unsigned pageCount, const QString& estimate) {
    m_page->setText(pageCount == kPageCountUnknown
                        ? QStringLiteral("Printing page %1").arg(page)
                        : QStringLiteral("Printing page %1 of %2").arg(page).arg(pageCount));
    m_estimate->setText(estimate);
    // Events are only dispatched between pages; the new texts should not wait for that.
    if (isVisible()) {
        repaint();
    }
}

// The window stays up until the job ends; the job decides when to stop.
void CPrintProgress::reject() {
    emit cancelRequested();
}
