#include "SessionActions.h"

#include <set>

#include "ErrorReport.h"
#include "OracleConnection.h"
#include "SessionStatements.h"

namespace {
constexpr int kSessionIdDoesNotExist = 30;
constexpr int kMarkedForKill = 31;
constexpr int kQuestionLines = 10;
constexpr qsizetype kQuestionValueLength = 40;

enum ListColumn { kUser = 0, kSid = 1, kSerial = 2, kMachine = 5, kProgram = 6 };

std::optional<SessionKey> KeyOfItem(const SessionListPort& port, int item) {
    SessionKey key{port.GetItemText(item, kSid).toStdString(),
                   port.GetItemText(item, kSerial).toStdString()};
    if (!IsSessionKey(key.sid, key.serial)) {
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

QString TargetLine(const SessionTarget& target) {
    const QString user =
        target.username.empty() ? QStringLiteral("(background)") : QuestionValue(target.username);
    return QStringLiteral("%1 (SID %2, serial# %3) on %4, %5")
        .arg(user, QString::fromStdString(target.key.sid),
             QString::fromStdString(target.key.serial), QuestionValue(target.machine),
             QuestionValue(target.program));
}

QString MarkedText(const std::vector<SessionKey>& marked) {
    if (marked.size() == 1) {
        return QStringLiteral("Session %1,%2 is marked for kill.")
            .arg(QString::fromStdString(marked[0].sid), QString::fromStdString(marked[0].serial));
    }
    return QStringLiteral("%1 sessions are marked for kill.").arg(marked.size());
}
}  // namespace

std::optional<SessionKey> SelectedSessionKey(const SessionListPort& port) {
    const std::vector<int> items = port.SelectedItems();
    return items.empty() ? std::nullopt : KeyOfItem(port, items.front());
}

std::vector<SessionTarget> SelectedSessions(const SessionListPort& port) {
    std::vector<SessionTarget> targets;
    for (int item : port.SelectedItems()) {
        if (std::optional<SessionKey> key = KeyOfItem(port, item)) {
            targets.push_back({std::move(*key), port.GetItemText(item, kUser).toStdString(),
                               port.GetItemText(item, kMachine).toStdString(),
                               port.GetItemText(item, kProgram).toStdString()});
        }
    }
    return targets;
}

QString KillQuestion(const std::vector<SessionTarget>& targets) {
    QString question = QStringLiteral("Do You really want to kill this session?\n");
    const int listed = std::min<int>(kQuestionLines, int(targets.size()));
    for (int i = 0; i < listed; ++i) {
        question += QStringLiteral("\n") + TargetLine(targets[std::size_t(i)]);
    }
    if (std::size_t(listed) < targets.size()) {
        question += QStringLiteral("\nand %1 more").arg(targets.size() - std::size_t(listed));
    }
    return question;
}

int KillSelectedSessions(SessionListPort& port, RefreshCycle& cycle,
                         const std::function<bool(const QString& question)>& confirmed) {
    const std::vector<SessionTarget> targets = SelectedSessions(port);
    if (targets.empty() || !IsLoggedOn() || !confirmed(KillQuestion(targets))) {
        return 0;
    }
    port.BeginWaitCursor();
    int sent = 0;
    std::set<int> refusalsShown;
    std::vector<SessionKey> marked;
    for (const SessionTarget& target : targets) {
        // A lost connection has been reported by the statement; the rest would only fail.
        if (!IsLoggedOn()) {
            break;
        }
        const std::optional<KillAnswer> answer = KillSession(target.key.sid, target.key.serial);
        ++sent;
        if (!answer || answer->code == 0 || answer->code == kSessionIdDoesNotExist ||
            !IsLoggedOn()) {
            continue;
        }
        if (answer->code == kMarkedForKill) {
            marked.push_back(target.key);
        } else if (refusalsShown.insert(answer->code).second) {
            ShowFailureMessage(answer->message);
        }
    }
    cycle.RefreshList();
    if (!marked.empty()) {
        port.SetStatusText(MarkedText(marked));
    }
    port.EndWaitCursor();
    return sent;
}

// Every reported failure drops the connection, so being logged off afterwards tells a failure
// from a session that has simply gone.
DetailsRead ReadSessionDetails(const SessionKey& key, SessionDetails& details) {
    if (!IsLoggedOn()) {
        return DetailsRead::Failed;
    }
    const SessionLookup found = QuerySessionDetails(key.sid, key.serial, details);
    if (!IsLoggedOn()) {
        return DetailsRead::Failed;
    }
    if (found != SessionLookup::Found) {
        return DetailsRead::SessionGone;
    }
    QuerySqlText(key.sid, key.serial, details);
    return IsLoggedOn() ? DetailsRead::Read : DetailsRead::Failed;
}

QString SessionGoneText() {
    return QStringLiteral("The session no longer exists.");
}
