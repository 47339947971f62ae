#include "dialogs/PropsGeneralPage.h"

#include <QLabel>
#include <QRect>
#include <QSize>
#include <algorithm>
#include <string>

#include "widgets/DialogUnits.h"
#include "widgets/ValueField.h"

namespace {
struct Row {
    int y;
    int labelHeight;
    const char* label;
    // Names the control id of the template.
    const char* name;
    std::string SessionDetails::*field;
};
constexpr Row kRows[] = {
    {5, 10, "SID:", "sid1005", &SessionDetails::sid},
    {20, 8, "Serial No:", "serial1006", &SessionDetails::serial},
    {35, 10, "User name:", "username1007", &SessionDetails::username},
    {50, 10, "Status:", "status1009", &SessionDetails::status},
    {65, 10, "Schema name:", "schemaName1008", &SessionDetails::schemaName},
    {80, 10, "OS User:", "osUser1010", &SessionDetails::osUser},
    {95, 10, "Machine:", "machine1011", &SessionDetails::machine},
    {110, 10, "Program:", "program1012", &SessionDetails::program},
    {125, 10, "Login time:", "logonTime1013", &SessionDetails::logonTime},
};
static_assert(std::size(kRows) == 9);
// Value fields start here and end this far from the page's right edge, in dialog units.
constexpr int kValueLeft = 75;
constexpr int kValueRightMargin = 6;
}  // namespace

CPropsGeneralPage::CPropsGeneralPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("generalPage"));
    setMinimumSize(DialogUnitsToPixels(QSize(296, 141), font()));
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        const Row& row = kRows[i];
        auto* label = new QLabel(QString::fromLatin1(row.label), this);
        label->setGeometry(DialogUnitsToPixels(QRect(5, row.y, 60, row.labelHeight), font()));
        auto* value = new CValueField(this);
        value->setObjectName(QString::fromLatin1(row.name));
        const QRect rect = DialogUnitsToPixels(QRect(kValueLeft, row.y, 215, 10), font());
        value->setGeometry(rect.x(), rect.y(), rect.width(),
                           std::max(rect.height(), value->sizeHint().height()));
        m_values[i] = value;
    }
}

void CPropsGeneralPage::SetDetails(const SessionDetails& details) {
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        m_values[i]->SetValue(QString::fromStdString(details.*kRows[i].field));
    }
}

void CPropsGeneralPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const QSize units = DialogUnitsToPixels(QSize(kValueLeft, 0), font());
    const int right = width() - DialogUnitsToPixels(QSize(kValueRightMargin, 0), font()).width();
    for (CValueField* value : m_values) {
        value->resize(std::max(0, right - units.width()), value->height());
    }
}
