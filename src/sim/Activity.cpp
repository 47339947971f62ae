#include "Activity.h"

#include <algorithm>
#include <array>

namespace sim {

namespace {

struct Event {
    std::string_view name;
    std::string_view waitClass;
};

constexpr Event kEvents[] = {
    {"SQL*Net message from client", "Idle"},
    {"SQL*Net message to client", "Network"},
    {"SQL*Net more data to client", "Network"},
    {"SQL*Net more data from client", "Network"},
    {"db file sequential read", "User I/O"},
    {"db file scattered read", "User I/O"},
    {"direct path read", "User I/O"},
    {"direct path read temp", "User I/O"},
    {"read by other session", "User I/O"},
    {"log file sync", "Commit"},
    {"log file parallel write", "System I/O"},
    {"db file parallel write", "System I/O"},
    {"control file parallel write", "System I/O"},
    {"RMAN backup & recovery I/O", "System I/O"},
    {"enq: TX - row lock contention", "Application"},
    {"enq: TM - contention", "Application"},
    {"buffer busy waits", "Concurrency"},
    {"latch: cache buffers chains", "Concurrency"},
    {"library cache lock", "Concurrency"},
    {"cursor: pin S wait on X", "Concurrency"},
    {"log buffer space", "Configuration"},
    {"resmgr:cpu quantum", "Scheduler"},
    {"PL/SQL lock timer", "Idle"},
    {"rdbms ipc message", "Idle"},
    {"pmon timer", "Idle"},
    {"smon timer", "Idle"},
    {"VKTM Logical Idle Wait", "Idle"},
    {"DIAG idle wait", "Idle"},
    {"VKRM Idle", "Idle"},
    {"lreg timer", "Idle"},
    {"wait for unread message on broadcast channel", "Idle"},
    {"LGWR worker group idle", "Idle"},
    {"AQPC idle", "Idle"},
    {"Space Manager: slave idle wait", "Idle"},
};

constexpr std::string_view kIdleEvent = "SQL*Net message from client";
constexpr std::string_view kRowLockEvent = "enq: TX - row lock contention";
// A last wait shorter than a centisecond is a short one.
constexpr std::int64_t kShortWaitMicros = 10000;

struct BackgroundWait {
    std::string_view process;  // the start of its name
    std::string_view event;
};

// The rest idle in "rdbms ipc message".
constexpr std::array<BackgroundWait, 12> kBackgroundWaits = {{
    {"PMON", "pmon timer"},
    {"CLMN", "pmon timer"},
    {"VKTM", "VKTM Logical Idle Wait"},
    {"DIA", "DIAG idle wait"},
    {"VKRM", "VKRM Idle"},
    {"SMON", "smon timer"},
    {"RECO", "wait for unread message on broadcast channel"},
    {"LREG", "lreg timer"},
    {"LGWR", "log file parallel write"},
    {"LG0", "LGWR worker group idle"},
    {"AQPC", "AQPC idle"},
    {"W0", "Space Manager: slave idle wait"},
}};

struct Choice {
    std::string_view event;
    int percent;
    int maxMicros;
};

// What a call of each kind waits on now and then; on CPU its last wait was the first one.
struct Profile {
    Work work;
    std::array<Choice, 3> waits;
};

constexpr Profile kProfiles[] = {
    {Work::Lookup,
     {{{"db file sequential read", 40, 15000}, {"SQL*Net message to client", 5, 40}, {}}}},
    {Work::Scan,
     {{{"direct path read", 30, 40000},
       {"db file scattered read", 20, 30000},
       {"read by other session", 5, 20000}}}},
    {Work::Change,
     {{{"db file sequential read", 35, 15000},
       {"buffer busy waits", 8, 5000},
       {"log buffer space", 4, 20000}}}},
    {Work::Commit, {{{"log file sync", 70, 8000}, {}, {}}}},
};

Wait waitOn(std::string_view event, std::string_view state, std::int64_t since,
            std::int64_t micros) {
    return {std::string(event), waitClassOf(event), std::string(state), since, micros};
}

std::string_view onCpuState(std::int64_t micros) {
    return micros < kShortWaitMicros ? "WAITED SHORT TIME" : "WAITED KNOWN TIME";
}

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// "oracle@dbhost01 (PMON)" runs PMON.
std::string_view processName(std::string_view program) {
    const std::size_t open = program.rfind('(');
    if (open == std::string_view::npos || program.back() != ')')
        return {};
    return program.substr(open + 1, program.size() - open - 2);
}

std::string_view backgroundEvent(std::string_view program) {
    const std::string_view name = processName(program);
    for (const BackgroundWait& known : kBackgroundWaits) {
        if (name.substr(0, known.process.size()) == known.process)
            return known.event;
    }
    return "rdbms ipc message";
}

}  // namespace

Work workOf(const std::optional<std::string>& sqlText) {
    if (!sqlText || sqlText->empty())
        return Work::None;
    const std::string_view text = *sqlText;
    const std::string_view verb = text.substr(0, text.find(' '));
    if (verb == "COMMIT")
        return Work::Commit;
    if (verb == "INSERT" || verb == "UPDATE" || verb == "DELETE" || verb == "MERGE")
        return Work::Change;
    if (verb != "SELECT" && verb != "WITH")
        return Work::Call;
    if (contains(text, " v$"))
        return Work::Call;
    return contains(text, " JOIN ") || contains(text, "GROUP BY") ? Work::Scan : Work::Lookup;
}

std::string waitClassOf(std::string_view event) {
    for (const Event& known : kEvents) {
        if (known.name == event)
            return std::string(known.waitClass);
    }
    return "Other";
}

Wait idleWait(std::int64_t since, std::int64_t micros) {
    return waitOn(kIdleEvent, kWaiting, since, micros);
}

Wait busyWait(Rng& rng, Work work, std::int64_t at) {
    const auto profile = std::find_if(std::begin(kProfiles), std::end(kProfiles),
                                      [work](const Profile& p) { return p.work == work; });
    if (profile == std::end(kProfiles)) {
        const std::int64_t micros = rng.below(3000000);
        return waitOn(kIdleEvent, onCpuState(micros), at, micros);
    }
    int roll = rng.below(100);
    for (const Choice& choice : profile->waits) {
        if (choice.event.empty())
            break;
        if ((roll -= choice.percent) < 0)
            return waitOn(choice.event, kWaiting, at, rng.below(choice.maxMicros));
    }
    const Choice& last = profile->waits.front();
    const std::int64_t micros = 1 + rng.below(2 * last.maxMicros);
    return waitOn(last.event, onCpuState(micros), at, micros);
}

Wait rowLockWait(std::int64_t since) {
    return waitOn(kRowLockEvent, kWaiting, since, 0);
}

Wait finished(Wait wait, std::int64_t now) {
    if (wait.state == kWaiting) {
        wait.micros += (now - wait.since) * 1000000;
        wait.state = onCpuState(wait.micros);
    }
    return wait;
}

SessionSpec completed(SessionSpec s) {
    const bool background = s.type == "BACKGROUND";
    s.statusSince = s.statusSince.value_or(s.logonTime);
    s.waitSince = s.waitSince.value_or(*s.statusSince);
    if (!s.event) {
        const Wait wait =
            s.blockingSession      ? waitOn(kRowLockEvent, kWaiting, 0, 0)
            : background           ? waitOn(backgroundEvent(s.program.value_or("")), kWaiting, 0, 0)
            : s.status != "ACTIVE" ? idleWait(0, 0)
                                   : waitOn(kIdleEvent, onCpuState(s.waitMicros), 0, 0);
        s.event = wait.event;
        s.state = s.state.value_or(wait.state);
    }
    s.waitClass = s.waitClass.value_or(waitClassOf(*s.event));
    s.state = s.state.value_or(std::string(kWaiting));
    if (!background && !s.module)
        s.module = s.program;
    s.serviceName = s.serviceName.value_or(background ? "SYS$BACKGROUND" : "SYS$USERS");
    s.process = s.process.value_or(std::to_string(1000 + (s.sid * 7919) % 60000));
    s.inTransaction = s.inTransaction.value_or(workOf(s.sqlText) == Work::Change);
    return s;
}

}  // namespace sim
