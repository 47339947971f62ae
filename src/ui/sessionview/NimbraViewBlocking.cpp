// Who blocks whom: the columns the blocking tree needs, the marks of the blockers in the list,
// and the tree's way to the list's sessions and commands.

#include <QHeaderView>

#include "OracleConnection.h"
#include "SessionStatements.h"
#include "sessionview/NimbraView.h"
#include "sessionview/SessionSortFilter.h"

namespace {
using Id = SessionColumnId;
// BLOCKING_SESSION came with release 10, FINAL_BLOCKING_SESSION with 11.2.
bool hasBlockingSession(const ServerRelease& release) {
    return !release.Known() || release.major >= 10;
}
bool hasFinalBlocker(const ServerRelease& release) {
    return !release.Known() || release.major > 11 || (release.major == 11 && release.minor >= 2);
}
}  // namespace

std::vector<SessionColumnId> CNimbraView::ChosenColumns() const {
    std::vector<SessionColumnId> read;
    for (SessionColumnId id : ShownColumnIds()) {
        if (int(id) >= kBaseColumnCount) {
            read.push_back(id);
        }
    }
    const ServerRelease& release = ConnectedServerRelease();
    if (m_bBlockingWanted && hasBlockingSession(release)) {
        for (Id id : {Id::BlockingSession, Id::Event, Id::SecondsInWait}) {
            read.push_back(id);
        }
        if (hasFinalBlocker(release)) {
            read.push_back(Id::FinalBlockingSession);
        }
    }
    if (m_bLongOpsWanted && std::find(read.begin(), read.end(), Id::Progress) == read.end()) {
        read.push_back(Id::Progress);
    }
    return read;
}

void CNimbraView::SetBlockingWanted(bool wanted) {
    if (wanted == m_bBlockingWanted) {
        return;
    }
    m_bBlockingWanted = wanted;
    if (IsLoggedOn()) {
        RefreshList();
    }
}

void CNimbraView::MarkBlockers(const std::vector<SessionColumnId>& read) {
    m_bBlockingRead = std::find(read.begin(), read.end(), Id::BlockingSession) != read.end();
    std::unordered_map<std::string, int> blocked;
    for (int row = 0; m_bBlockingRead && row < m_sessions.GetItemCount(); ++row) {
        const QString blocker = m_sessions.GetItemText(row, int(Id::BlockingSession));
        if (!blocker.isEmpty()) {
            ++blocked[blocker.toStdString()];
        }
    }
    m_sorted->SetBlockers(std::move(blocked));
}

std::optional<SessionRow> CNimbraView::ListedSession(const std::string& sid,
                                                     const std::string& serial) const {
    for (int row = 0; row < m_sessions.GetItemCount(); ++row) {
        if (m_sessions.GetItemText(row, int(Id::Sid)).toStdString() == sid &&
            m_sessions.GetItemText(row, int(Id::Serial)).toStdString() == serial) {
            SessionRow session;
            for (int column = 0; column < kBaseColumnCount; ++column) {
                session.values.push_back(m_sessions.GetItemText(row, column).toStdString());
            }
            return session;
        }
    }
    return std::nullopt;
}

void CNimbraView::SelectSessions(const std::vector<std::pair<std::string, std::string>>& keys) {
    QItemSelection selection;
    QModelIndex first;
    for (int row = 0; row < model()->rowCount(); ++row) {
        const std::string sid = GetItemText(row, int(Id::Sid)).toStdString();
        const std::string serial = GetItemText(row, int(Id::Serial)).toStdString();
        for (const auto& [wantedSid, wantedSerial] : keys) {
            if (sid == wantedSid && serial == wantedSerial) {
                const QModelIndex index = model()->index(row, 0);
                selection.select(index, index);
                first = first.isValid() ? first : index;
            }
        }
    }
    selectionModel()->select(selection,
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (first.isValid()) {
        selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        scrollTo(first);
    }
}

CNimbraView::CommandTargets::CommandTargets(CNimbraView& view, std::vector<SessionRow> sessions)
    : m_view(view) {
    m_view.m_commandTargets = std::move(sessions);
}

CNimbraView::CommandTargets::~CommandTargets() {
    m_view.m_commandTargets.reset();
}
