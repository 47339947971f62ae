#include "dialogs/PropsLongOpsPage.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "SessionColumns.h"
#include "widgets/DialogUnits.h"

namespace {
QString text(const std::string& value) {
    return QString::fromStdString(value);
}
}  // namespace

CPropsLongOpsPage::CPropsLongOpsPage(QWidget* parent)
    : QWidget(parent), m_table(new QTreeWidget(this)), m_note(new QLabel(this)) {
    setObjectName(QStringLiteral("longOpsPage"));
    setMinimumSize(DialogUnitsToPixels(QSize(296, 141), font()));
    m_table->setObjectName(QStringLiteral("longOpsTable"));
    m_table->setRootIsDecorated(false);
    m_table->setHeaderLabels({QStringLiteral("Operation"), QStringLiteral("Target"),
                              QStringLiteral("Done"), QStringLiteral("Elapsed"),
                              QStringLiteral("Remaining"), QStringLiteral("Message")});
    m_table->header()->setStretchLastSection(true);
    m_note->setObjectName(QStringLiteral("longOpsNote"));
    m_note->setWordWrap(true);
    m_note->setText(QStringLiteral("Reading the long operations..."));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(m_note);
}

void CPropsLongOpsPage::SetOperations(const std::vector<LongOperation>& operations, bool readable) {
    m_table->clear();
    for (const LongOperation& op : operations) {
        m_table->addTopLevelItem(
            new QTreeWidgetItem({text(op.operation), text(op.target), text(DoneText(op)),
                                 text(FormatDuration(op.elapsed)),
                                 text(FormatDuration(op.remaining)), text(op.message)}));
    }
    m_note->setText(!readable            ? QStringLiteral("The long operations need SELECT on "
                                                                     "V$SESSION_LONGOPS.")
                    : operations.empty() ? QStringLiteral("The session has no long operations.")
                                         : QString());
    m_note->setVisible(!m_note->text().isEmpty());
}

QStringList CPropsLongOpsPage::RowTexts(int row) const {
    QStringList texts;
    const QTreeWidgetItem* item = m_table->topLevelItem(row);
    for (int column = 0; item && column < m_table->columnCount(); ++column) {
        texts << item->text(column);
    }
    return texts;
}

int CPropsLongOpsPage::RowCount() const {
    return m_table->topLevelItemCount();
}

QString CPropsLongOpsPage::NoteText() const {
    return m_note->text();
}
