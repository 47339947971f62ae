#pragma once
// The kill and details actions on the sessions the list has selected. The view supplies the
// question and shows the sheet; what is read, sent, shown and refreshed is decided here.

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "EndSession.h"
#include "RefreshCycle.h"
#include "SessionListPort.h"
#include "SessionRecords.h"
#include "Transactions.h"

// A listed session as the kill question names it.
struct SessionTarget {
    SessionKey key;
    std::string username;
    std::string machine;
    std::string program;
    // The connection's own session: the server refuses to kill it.
    bool own = false;
    // What ending it would roll back, when the server could say.
    std::optional<OpenTransaction> transaction;

    // A background process has no user name; the server refuses to kill it.
    bool Background() const { return username.empty(); }
    bool Killable() const { return !own && !Background(); }
};

// The key of the upper selected session. None when none is selected or either value is empty or
// not decimal digits: the command then ends without a statement or a word.
std::optional<SessionKey> SelectedSessionKey(const SessionListPort& port);
// Every selected session that has a session key, from the top.
std::vector<SessionTarget> SelectedSessions(const SessionListPort& port);

// Whether the command can reach every target: a disconnect, and before release 11 every command,
// reaches only the sessions of the instance logged on to.
bool ReachesSelected(EndSession kind, const std::vector<SessionTarget>& targets);

// "Do You really want to kill this session?" ("... these 3 sessions?", "... to cancel the current
// SQL of this session?"), then one line for each target (at most ten, then how many more), each
// value cut short enough for a message box, those that cannot be ended named as such, and an
// open transaction told by its start and size.
QString EndQuestion(EndSession kind, const std::vector<SessionTarget>& targets);
inline QString KillQuestion(const std::vector<SessionTarget>& targets) {
    return EndQuestion(EndSession::Kill, targets);
}

// Reads the selected sessions and what their transactions would cost, then asks
// confirmed(question); on yes ends each of them that can be ended in turn under the wait cursor
// and refreshes the list once. The sessions read before the question are the ones ended,
// whatever a refresh during the question did to the list. A refusal shows the server's answer
// once per error; a session that no longer exists needs no word; one marked for kill is named in
// the status bar, and for several sessions the status bar says what became of them. Returns how
// many statements were sent.
int EndSelectedSessions(EndSession kind, SessionListPort& port, RefreshCycle& cycle,
                        const std::function<bool(const QString& question)>& confirmed);
inline int KillSelectedSessions(SessionListPort& port, RefreshCycle& cycle,
                                const std::function<bool(const QString& question)>& confirmed) {
    return EndSelectedSessions(EndSession::Kill, port, cycle, confirmed);
}

// What a properties request found.
enum class DetailsRead {
    Read,         // details and the whole SQL text
    SessionGone,  // the session has ended since the list was read; nothing was said yet
    Failed,       // a failure has been reported; what was read is not to be shown
};
// Overwrites details with the session's details and its SQL text.
DetailsRead ReadSessionDetails(const SessionKey& key, SessionDetails& details);
// "The session no longer exists."
QString SessionGoneText();
