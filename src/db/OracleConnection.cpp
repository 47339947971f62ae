#include "OracleConnection.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <iterator>
#include <map>
#include <utility>

#include "ErrorReport.h"

namespace {
const text* asText(const char* s) {
    return reinterpret_cast<const text*>(s);
}

std::map<int, std::function<void()>>& observers() {
    static std::map<int, std::function<void()>> list;
    return list;
}

void notifyObservers() {
    // A copy: an observer may add or remove observers.
    const auto current = observers();
    for (const auto& [id, observer] : current) {
        observer();
    }
}

// Set from the window's thread, read at each log-on of any thread.
std::atomic<int>& callTimeoutSeconds() {
    static std::atomic<int> seconds = 30;
    return seconds;
}

thread_local OracleConnection* t_inUse = nullptr;

MainLogonListener& mainLogonListener() {
    static MainLogonListener listener;
    return listener;
}

void notifyObserversOf(const OracleConnection& c) {
    if (&c == &MainConnection()) {
        notifyObservers();
    }
}

// A client library that cannot limit calls is said so once; the calls then go unlimited.
void applyCallTimeout(OracleConnection& c) {
    static std::atomic<bool> told = false;
    const int seconds = callTimeoutSeconds();
    c.callTimeoutSeconds = 0;
    c.callLimitSeconds = 0;
    if (seconds <= 0) {
        return;
    }
    if (ocalltimeout(&c.logonArea, ub4(seconds) * 1000) == 0) {
        c.callTimeoutSeconds = c.callLimitSeconds = seconds;
        return;
    }
    if (told.exchange(true)) {
        return;
    }
    ShowFailureMessage(ClientMessage(areaRc(c.logonArea)));
}

void setLoggedOff(OracleConnection& c) {
    c.loggedOn = false;
    c.user.clear();
    c.host.clear();
    c.serverRelease = {};
    notifyObserversOf(c);
}

ServerRelease readServerRelease(OracleConnection& c) {
    ub4 version = 0;
    text banner[512] = {};
    if (oserverrelease(&c.logonArea, &version, banner, sizeof banner) != 0) {
        return {};
    }
    ServerRelease release = DecodeServerRelease(version);
    release.banner = reinterpret_cast<const char*>(banner);
    return release;
}
}  // namespace

OracleConnection& MainConnection() {
    static OracleConnection connection;
    return connection;
}

OracleConnection& TheConnection() {
    return t_inUse != nullptr ? *t_inUse : MainConnection();
}

ConnectionInUse::ConnectionInUse(OracleConnection& connection)
    : m_previous(std::exchange(t_inUse, &connection)) {}

ConnectionInUse::~ConnectionInUse() {
    t_inUse = m_previous;
}

bool LogOn(const char* user, const char* password, const char* host, ConnectAs mode) {
    OracleConnection& c = TheConnection();
    if (olog(&c.logonArea, c.hostArea.bytes, asText(user), -1, asText(password), -1, asText(host),
             -1, OciLogonModeOf(mode)) == 0) {
        static std::atomic<int> lastLogonId = 0;
        c.loggedOn = true;
        c.logonId = ++lastLogonId;
        c.failureReported = false;
        c.connectionLost = false;
        c.user = user;
        c.host = host;
        c.ownSid.clear();
        c.unavailableColumns.clear();
        c.logonWarningCode = areaRc(c.logonArea);
        c.logonWarning = c.logonWarningCode != 0 ? ClientMessage(ub2(c.logonWarningCode)) : "";
        c.serverRelease = readServerRelease(c);
        applyCallTimeout(c);
        if (&c == &MainConnection() && mainLogonListener()) {
            mainLogonListener()(user, password, host, mode);
        }
        notifyObserversOf(c);
        return true;
    }
    c.loggedOn = false;
    ReportOciError(c.logonArea);
    return false;
}

bool LogOff(std::FILE* diagnostics) {
    OracleConnection& c = TheConnection();
    if (!c.loggedOn) {
        return true;
    }
    const bool closed = ologof(&c.logonArea) == 0;
    if (!closed) {
        std::fputs("Error on disconnect.\n", diagnostics);
        std::fflush(diagnostics);
        DropConnection();
    }
    if (c.loggedOn) {
        setLoggedOff(c);
    }
    return closed;
}

bool IsLoggedOn() {
    return TheConnection().loggedOn;
}

void DropConnection() {
    OracleConnection& c = TheConnection();
    if (c.loggedOn) {
        ologof(&c.logonArea);
        setLoggedOff(c);
    }
}

void SetMainLogonListener(MainLogonListener listener) {
    mainLogonListener() = std::move(listener);
}

void SetCallTimeoutSeconds(int seconds) {
    callTimeoutSeconds() = seconds;
}

// A client that cannot limit calls was said so at the log-on; the kill then waits unlimited
// like every other call.
LongCallTimeLimit::LongCallTimeLimit() {
    OracleConnection& c = TheConnection();
    const int seconds = c.callTimeoutSeconds;
    m_bRaised = c.loggedOn && seconds > 0 && seconds < kLongCallSeconds &&
                ocalltimeout(&c.logonArea, ub4(kLongCallSeconds) * 1000) == 0;
    if (m_bRaised) {
        c.callLimitSeconds = kLongCallSeconds;
    }
}

LongCallTimeLimit::~LongCallTimeLimit() {
    OracleConnection& c = TheConnection();
    if (m_bRaised && c.loggedOn) {
        ocalltimeout(&c.logonArea, ub4(c.callTimeoutSeconds) * 1000);
        c.callLimitSeconds = c.callTimeoutSeconds;
    }
}

std::string TakeLogonWarning() {
    OracleConnection& c = TheConnection();
    c.logonWarningCode = 0;
    return std::exchange(c.logonWarning, std::string());
}

bool IsPasswordExpiryWarning(int code) {
    // 28002 from release 9 on; 28011 on older servers.
    return code == 28002 || code == 28011;
}

int AddConnectionObserver(std::function<void()> observer) {
    static int lastId = 0;
    observers().emplace(++lastId, std::move(observer));
    return lastId;
}

void RemoveConnectionObserver(int id) {
    observers().erase(id);
}

bool IsConnectionLostCode(int code) {
    // Session ended or killed, fatal server error, end of file, not connected, lost contact,
    // instance gone, timed out, network and listener failures, idle time exceeded, an illegal
    // call. Not 31: a session marked for kill is the killer's ordinary answer.
    constexpr int kLost[] = {22,    28,    45,    603,   1012,  1089,  1092,  2396,
                             3113,  3114,  3122,  3135,  3136,  3156,  12153, 12170,
                             12537, 12541, 12547, 12570, 12571, 12583, 28511, 56600};
    return std::find(std::begin(kLost), std::end(kLost), code) != std::end(kLost);
}

bool IsCallTimeoutCode(int code) {
    return code == 3136 || code == 3156;
}

bool ConnectionAnswers() {
    OracleConnection& c = TheConnection();
    return c.loggedOn && ocheckconn(&c.logonArea) == 0;
}

const ServerRelease& ConnectedServerRelease() {
    return TheConnection().serverRelease;
}

// A live connection begins each outermost operation able to report, and ends it so.
DatabaseOperation::DatabaseOperation() {
    OracleConnection& c = TheConnection();
    if (c.operationDepth++ == 0 && c.loggedOn) {
        c.failureReported = false;
    }
    m_nFailuresBefore = c.failures;
}

DatabaseOperation::~DatabaseOperation() {
    OracleConnection& c = TheConnection();
    if (--c.operationDepth == 0 && c.loggedOn) {
        c.failureReported = false;
    }
}

bool DatabaseOperation::Failed() const {
    return TheConnection().failures != m_nFailuresBefore;
}
