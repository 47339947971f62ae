#include "sessionview/ColumnsDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
QListWidgetItem* itemOf(const SessionColumn& column, bool shown) {
    auto* item = new QListWidgetItem(QString::fromLatin1(column.heading));
    item->setData(Qt::UserRole, int(column.id));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(shown ? Qt::Checked : Qt::Unchecked);
    item->setToolTip(QString::fromLatin1(column.name));
    return item;
}
}  // namespace

CColumnsDialog::CColumnsDialog(const std::vector<SessionColumnId>& shown, QWidget* parent)
    : QDialog(parent),
      m_list(new QListWidget(this)),
      m_up(new QPushButton(QStringLiteral("Move &Up"), this)),
      m_down(new QPushButton(QStringLiteral("Move &Down"), this)) {
    setWindowTitle(QStringLiteral("Columns"));
    m_list->setObjectName(QStringLiteral("columnList"));
    m_up->setObjectName(QStringLiteral("upButton"));
    m_down->setObjectName(QStringLiteral("downButton"));
    for (SessionColumnId id : shown) {
        m_list->addItem(itemOf(ColumnOf(id), true));
    }
    for (const SessionColumn& column : SessionColumns()) {
        if (!column.automatic && std::find(shown.begin(), shown.end(), column.id) == shown.end()) {
            m_list->addItem(itemOf(column, false));
        }
    }
    // Every column in sight at once.
    m_list->setMinimumHeight(m_list->sizeHintForRow(0) * (m_list->count() + 1));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("okButton"));
    auto* moves = new QVBoxLayout;
    moves->addWidget(m_up);
    moves->addWidget(m_down);
    moves->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(m_list);
    row->addLayout(moves);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_up, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { Move(1); });
    connect(m_list, &QListWidget::currentRowChanged, this, &CColumnsDialog::UpdateButtons);
    connect(m_list, &QListWidget::itemChanged, this, &CColumnsDialog::UpdateButtons);
    m_list->setCurrentRow(0);
    UpdateButtons();
}

std::vector<SessionColumnId> CColumnsDialog::Shown() const {
    std::vector<SessionColumnId> shown;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem* item = m_list->item(row);
        if (item->checkState() == Qt::Checked) {
            shown.push_back(SessionColumnId(item->data(Qt::UserRole).toInt()));
        }
    }
    return shown;
}

void CColumnsDialog::Move(int step) {
    const int row = m_list->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= m_list->count()) {
        return;
    }
    QListWidgetItem* item = m_list->takeItem(row);
    m_list->insertItem(to, item);
    m_list->setCurrentRow(to);
}

void CColumnsDialog::UpdateButtons() {
    const int row = m_list->currentRow();
    m_up->setEnabled(row > 0);
    m_down->setEnabled(row >= 0 && row + 1 < m_list->count());
    m_ok->setEnabled(!Shown().empty());
}
