// Who blocks whom: the columns the blocking tree needs, the marks of the blockers in the list,
// and the tree's way to the list's sessions and commands.

#include <QHeaderView>

#include "DatabaseShape.h"
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
        if (int(id) >= kBaseColumnCount && !ColumnOf(id).automatic) {
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
        // On a cluster a blocker may be on another instance than the session it holds up.
        if (KnownDatabaseShape().Clustered()) {
            read.push_back(Id::BlockingInstance);
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
            QString instance = m_sessions.GetItemText(row, int(Id::BlockingInstance));
            if (instance.isEmpty()) {
                instance = m_sessions.GetItemText(row, int(Id::Instance));
            }
            ++blocked[CSessionSortFilter::BlockerKey(instance, blocker)];
        }
    }
    m_sorted->SetBlockers(std::move(blocked));
}

namespace {
SessionKey keyOf(const SessionRow& session) {
    return {session.Base(Id::Sid), session.Base(Id::Serial), session.instance};
}
}  // namespace

std::optional<SessionRow> CNimbraView::ListedSession(const SessionKey& key) const {
    for (int row = 0; row < m_sessions.GetItemCount(); ++row) {
        if (SessionRow session = SessionAt(row); keyOf(session) == key) {
            return session;
        }
    }
    return std::nullopt;
}

void CNimbraView::SelectSessions(const std::vector<SessionKey>& keys) {
    QItemSelection selection;
    QModelIndex first;
    for (int row = 0; row < model()->rowCount(); ++row) {
        const SessionKey listed =
            keyOf(SessionAt(m_sorted->mapToSource(model()->index(row, 0)).row()));
        for (const SessionKey& key : keys) {
            if (listed == key) {
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
