// What the properties sheet reads beyond the details, each only once its page is shown: the plan
// of the running statement, and the long operations, read with every refresh while shown.

#include <QStringList>

#include "DatabaseShape.h"
#include "ExecutionPlan.h"
#include "OracleConnection.h"
#include "SessionActions.h"
#include "dialogs/PropsLongOpsPage.h"
#include "dialogs/PropsSheet.h"
#include "dialogs/PropsSqlPage.h"
#include "sessionview/NimbraView.h"
#include "widgets/WaitCursor.h"

namespace {
// On a cluster the views read here hold the instance logged on to only.
bool onAnotherInstance(const SessionKey& key) {
    return !key.instance.empty() && key.instance != KnownDatabaseShape().ownInstance;
}

// A session with no statement has no plan, and nothing is asked about one.
void showPlan(CPropsSqlPage& page, const SessionKey& key, const std::string& sqlText) {
    if (sqlText.empty()) {
        return;
    }
    if (onAnotherInstance(key)) {
        page.SetPlanText(QStringLiteral("The plan is kept by instance %1: log on to that instance "
                                        "to read it.")
                             .arg(QString::fromStdString(key.instance)));
        return;
    }
    const CWaitCursor wait;
    const PlanText plan = ReadExecutionPlan(key.sid, key.serial);
    QStringList lines;
    for (const std::string& line : plan.lines) {
        lines << QString::fromStdString(line);
    }
    page.SetPlanText(plan.refused ? QString::fromStdString(PlanRefusedText()) : lines.join(u'\n'));
}
}  // namespace

void CNimbraView::SetLongOperationsWanted(bool wanted) {
    if (wanted == m_bLongOpsWanted) {
        return;
    }
    m_bLongOpsWanted = wanted;
    if (wanted && IsLoggedOn()) {
        RefreshList();
    }
}

void CNimbraView::FollowSheetPages(CPropsSheet& sheet, const SessionKey& key) {
    const auto showOperations = [this, &sheet, key] {
        if (m_bLongOpsWanted) {
            sheet.LongOpsPage()->SetOperations(
                onAnotherInstance(key) ? std::vector<LongOperation>()
                                       : OperationsOf(m_longOperations, key.sid, key.serial),
                m_bLongOpsRead);
        }
    };
    connect(this, &CNimbraView::sessionsShown, &sheet, showOperations);
    auto planRead = std::make_shared<bool>(false);
    const auto pageShown = [this, &sheet, key, planRead](QWidget* page) {
        if (page == sheet.SqlPage() && !*planRead) {
            *planRead = true;
            showPlan(*sheet.SqlPage(), key, m_details.sqlText);
        }
        SetLongOperationsWanted(page == sheet.LongOpsPage());
    };
    connect(&sheet, &CPropsSheet::pageShown, this, pageShown);
    pageShown(sheet.CurrentPage());
}
