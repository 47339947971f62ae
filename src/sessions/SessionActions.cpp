#include "SessionActions.h"

#include <QStringList>
#include <algorithm>
#include <set>

#include "DatabaseShape.h"
#include "ErrorReport.h"
#include "OracleConnection.h"
#include "SessionStatements.h"

namespace {
constexpr int kSessionIdDoesNotExist = 30;
constexpr int kMarkedForKill = 31;
constexpr int kQuestionLines = 10;
constexpr qsizetype kQuestionValueLength = 40;

using Id = SessionColumnId;

std::optional<SessionKey> KeyOf(const SessionRow& session) {
    SessionKey key{session.Base(Id::Sid), session.Base(Id::Serial), session.instance};
    if (!IsSessionKey(key.sid, key.serial, key.instance)) {
        return std::nullopt;
    }
    return key;
}

// One line of text, cut with an ellipsis when longer than a message box should hold.
QString QuestionValue(const std::string& value) {
    QString text = QString::fromStdString(value).simplified();
    if (text.size() > kQuestionValueLength) {
        text = text.left(kQuestionValueLength - 1) + QChar(0x2026);
    }
    return text;
}

// 48213 as "48,213".
QString grouped(long long number) {
    QString digits = QString::number(number);
    for (qsizetype at = digits.size() - 3; at > (number < 0 ? 1 : 0); at -= 3) {
        digits.insert(at, u',');
    }
    return digits;
}

QString TargetLine(EndSession kind, const SessionTarget& target) {
    const QString user =
        target.Background() ? QStringLiteral("(background)") : QuestionValue(target.username);
    const QString onInstance =
        target.key.instance.empty()
            ? QString()
            : QStringLiteral(", instance ") + QString::fromStdString(target.key.instance);
    QString line = QStringLiteral("%1 (SID %2, serial# %3%4) on %5, %6")
                       .arg(user, QString::fromStdString(target.key.sid),
                            QString::fromStdString(target.key.serial), onInstance,
                            QuestionValue(target.machine), QuestionValue(target.program));
    if (target.own) {
        line += QStringLiteral(": your own session, ") + CannotText(kind);
    } else if (target.Background()) {
        line += QStringLiteral(": a background process, ") + CannotText(kind);
    } else if (target.transaction) {
        const OpenTransaction& t = *target.transaction;
        line += QStringLiteral(", open transaction since %1, %2 undo records in %3 blocks")
                    .arg(QString::fromStdString(t.since), grouped(t.undoRecords),
                         grouped(t.undoBlocks));
    }
    return line;
}

// Only ending the session rolls its transaction back or waits for it; a cancel affects the
// statement alone.
void AddTransactions(EndSession kind, std::vector<SessionTarget>& targets, std::size_t listed) {
    if (kind == EndSession::CancelSql) {
        return;
    }
    std::vector<SessionKey> keys;
    for (std::size_t i = 0; i < listed; ++i) {
        if (targets[i].Killable()) {
            keys.push_back(targets[i].key);
        }
    }
    for (OpenTransaction& t : QueryOpenTransactions(keys)) {
        for (std::size_t i = 0; i < listed; ++i) {
            if (targets[i].key == t.session && !targets[i].transaction) {
                targets[i].transaction = t;
            }
        }
    }
}

// What became of the sessions of one confirmed kill.
struct KillTally {
    int killed = 0;
    int marked = 0;
    int ended = 0;
    int refused = 0;

    // "2 killed, 1 marked for kill, 1 refused"; the parts that did not happen are left out.
    QString Text(EndSession kind) const {
        QStringList parts;
        const auto part = [&parts](int count, const char* what) {
            if (count > 0) {
                parts << QStringLiteral("%1 %2").arg(count).arg(QLatin1String(what));
            }
        };
        part(killed, qPrintable(DoneText(kind)));
        part(marked, "marked for kill");
        part(ended, "already ended");
        part(refused, "refused");
        return parts.join(QStringLiteral(", "));
    }
};

// A session on another instance than the one logged on to.
bool elsewhere(const SessionKey& key, const DatabaseShape& shape) {
    return !key.instance.empty() && key.instance != shape.ownInstance;
}

// The instance a statement names: from release 11 on, any session of a cluster's; before, none,
// and only the own instance's sessions are reached.
std::string instanceNamed(EndSession kind, const SessionKey& key) {
    return ReachesOtherInstances(kind, ConnectedServerRelease()) ? key.instance : std::string();
}

QString MarkedText(const SessionKey& marked) {
    return QStringLiteral("Session %1,%2 is marked for kill.")
        .arg(QString::fromStdString(marked.sid), QString::fromStdString(marked.serial));
}
}  // namespace

std::optional<SessionKey> SelectedSessionKey(const SessionListPort& port) {
    const std::vector<SessionRow> sessions = port.SelectedSessions();
    return sessions.empty() ? std::nullopt : KeyOf(sessions.front());
}

std::vector<SessionTarget> SelectedSessions(const SessionListPort& port) {
    std::vector<SessionTarget> targets;
    for (const SessionRow& session : port.SelectedSessions()) {
        if (std::optional<SessionKey> key = KeyOf(session)) {
            targets.push_back({std::move(*key), session.Base(Id::Username),
                               session.Base(Id::Machine), session.Base(Id::Program), false,
                               std::nullopt});
        }
    }
    return targets;
}

bool ReachesSelected(EndSession kind, const std::vector<SessionTarget>& targets) {
    if (ReachesOtherInstances(kind, ConnectedServerRelease())) {
        return true;
    }
    const DatabaseShape& shape = KnownDatabaseShape();
    return std::none_of(targets.begin(), targets.end(),
                        [&](const SessionTarget& t) { return elsewhere(t.key, shape); });
}

QString EndQuestion(EndSession kind, const std::vector<SessionTarget>& targets) {
    QString question = EndSessionQuestion(kind, targets.size()) + QStringLiteral("\n");
    const int listed = std::min<int>(kQuestionLines, int(targets.size()));
    for (int i = 0; i < listed; ++i) {
        question += QStringLiteral("\n") + TargetLine(kind, targets[std::size_t(i)]);
    }
    if (std::size_t(listed) < targets.size()) {
        question += QStringLiteral("\nand %1 more").arg(targets.size() - std::size_t(listed));
    }
    return question;
}

int EndSelectedSessions(EndSession kind, SessionListPort& port, RefreshCycle& cycle,
                        const std::function<bool(const QString& question)>& confirmed) {
    std::vector<SessionTarget> targets = SelectedSessions(port);
    if (targets.empty() || !IsLoggedOn() || !IsAvailable(kind, ConnectedServerRelease()) ||
        !ReachesSelected(kind, targets)) {
        return 0;
    }
    const DatabaseOperation kill;
    const std::string ownSid = OwnSessionId();
    // Without its own SID the question cannot be trusted to warn of it: the failure was said.
    if (kill.Failed()) {
        return 0;
    }
    const DatabaseShape& shape = KnownDatabaseShape();
    for (SessionTarget& target : targets) {
        target.own = target.key.sid == ownSid && !elsewhere(target.key, shape);
    }
    AddTransactions(kind, targets, std::min<std::size_t>(kQuestionLines, targets.size()));
    if (kill.Failed() || !confirmed(EndQuestion(kind, targets))) {
        return 0;
    }
    port.BeginWaitCursor();
    int sent = 0;
    std::set<int> refusalsShown;
    KillTally tally;
    const SessionKey* lastMarked = nullptr;
    for (const SessionTarget& target : targets) {
        // A failure has been reported by the statement; the rest would only fail or wait.
        if (kill.Failed()) {
            break;
        }
        if (!target.Killable()) {
            ++tally.refused;
            continue;
        }
        const std::optional<EndAnswer> answer =
            EndSessionOn(kind, target.key.sid, target.key.serial, instanceNamed(kind, target.key));
        ++sent;
        if (!answer || kill.Failed()) {
            continue;
        }
        if (answer->code == 0) {
            ++tally.killed;
        } else if (answer->code == kSessionIdDoesNotExist) {
            ++tally.ended;
        } else if (answer->code == kMarkedForKill) {
            ++tally.marked;
            lastMarked = &target.key;
        } else {
            ++tally.refused;
            if (refusalsShown.insert(answer->code).second) {
                ShowFailureMessage(answer->message);
            }
        }
    }
    // After a timed-out call that kept the connection the list stays as it was: a refresh would
    // only wait for the database again.
    const bool kept = kill.Failed() && IsLoggedOn();
    if (!kept) {
        cycle.RefreshList();
    }
    // One session needs a word only when the server did not even hear of it.
    if (IsLoggedOn() && !kept && (targets.size() > 1 || sent == 0)) {
        port.SetStatusText(tally.Text(kind));
    } else if (IsLoggedOn() && !kept && lastMarked != nullptr) {
        port.SetStatusText(MarkedText(*lastMarked));
    }
    port.EndWaitCursor();
    return sent;
}

// A failure, which has been reported, is told from a session that has simply gone.
DetailsRead ReadSessionDetails(const SessionKey& key, SessionDetails& details) {
    if (!IsLoggedOn()) {
        return DetailsRead::Failed;
    }
    const DatabaseOperation properties;
    const SessionLookup found = QuerySessionDetails(key, details);
    if (properties.Failed()) {
        return DetailsRead::Failed;
    }
    if (found != SessionLookup::Found) {
        return DetailsRead::SessionGone;
    }
    QuerySqlText(key, details);
    return properties.Failed() ? DetailsRead::Failed : DetailsRead::Read;
}

QString SessionGoneText() {
    return QStringLiteral("The session no longer exists.");
}
