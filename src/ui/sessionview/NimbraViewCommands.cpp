// The view's commands on one session and on the options.

#include <QDialog>
#include <QString>
#include <optional>

#include "SessionActions.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/PropsGeneralPage.h"
#include "dialogs/PropsSheet.h"
#include "dialogs/PropsSqlPage.h"
#include "sessionview/ColumnsDialog.h"
#include "sessionview/NimbraView.h"
#include "widgets/MessageBox.h"
#include "widgets/WaitCursor.h"

void CNimbraView::OnOptions() {
    StopRefreshTimer();
    COptionsDialog dialog(window());
    dialog.SetRefreshSec(RefreshSeconds());
    dialog.SetShowSystem(ShowSystem());
    if (dialog.exec() == QDialog::Accepted) {
        m_cycle.SetShowSystem(dialog.ShowSystem());
        m_cycle.SetRefreshSeconds(dialog.RefreshSec());
        RefreshList();
    }
    // After OK the refresh has already started it.
    StartRefreshTimer();
}

// Ending a session is the one thing here that cannot be undone, so Enter answers No.
void CNimbraView::EndSessions(EndSession kind) {
    EndSelectedSessions(kind, *this, m_cycle, [](const QString& question) {
        return NimbraMessageBox(question, MsgButtons::YesNo, MsgIcon::Default,
                                MsgDefault::Second) == IDYES;
    });
}

void CNimbraView::OnKillSession() {
    EndSessions(EndSession::Kill);
}

void CNimbraView::OnKillImmediately() {
    EndSessions(EndSession::KillImmediately);
}

void CNimbraView::OnDisconnectSession() {
    EndSessions(EndSession::Disconnect);
}

void CNimbraView::OnCancelSql() {
    EndSessions(EndSession::CancelSql);
}

void CNimbraView::OnSessionProperties() {
    const std::optional<SessionKey> key = SelectedSessionKey(*this);
    if (!key) {
        return;
    }
    const CWaitCursor wait;
    switch (ReadSessionDetails(*key, m_details)) {
        case DetailsRead::Failed:
            return;
        case DetailsRead::SessionGone: {
            {
                const CNormalCursor pointer;
                NimbraMessageBox(SessionGoneText(), MsgButtons::Ok, MsgIcon::Default);
            }
            // The list shows it gone too.
            RefreshList();
            return;
        }
        case DetailsRead::Read:
            break;
    }
    CPropsSheet sheet(QStringLiteral("Properties"), this, 0);
    sheet.GeneralPage()->SetDetails(m_details);
    sheet.SqlPage()->SetSqlText(QString::fromStdString(m_details.sqlText));
    FollowSheetPages(sheet, *key);
    {
        const CNormalCursor pointer;
        sheet.exec();
    }
    SetLongOperationsWanted(false);
}

void CNimbraView::OnColumns() {
    std::vector<SessionColumnId> chosen = ShownColumnIds();
    std::erase_if(chosen, [](SessionColumnId id) { return ColumnOf(id).automatic; });
    CColumnsDialog dialog(chosen, window());
    if (dialog.exec() == QDialog::Accepted) {
        ShowColumns(dialog.Shown());
    }
}
