#pragma once
// A database connection and the operations that log it on and off. The window's is the main one;
// a worker thread uses one of its own through ConnectionInUse. Failures are reported where they
// happen (see ErrorReport.h); nothing is handed upwards.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ConnectAs.h"
#include "Oci.h"
#include "ServerRelease.h"

struct OracleConnection {
    Lda_Def logonArea{};
    // Stays at one address for the life of the process: the client library keeps state in it.
    HostDataArea hostArea{};
    bool loggedOn = false;
    // Which log-on this is, unique in the process: what the session layer reads once per log-on
    // is kept by it.
    int logonId = 0;
    // Where this connection's failures go instead of the process's message sink: a worker's
    // connection tells its owner, never a message box. Unset: the process's.
    std::function<void(const std::string&)> messageSink;
    // A failure was reported: the calls that fail after it show nothing, so that one message
    // names the cause instead of a cascade hiding it. Until the next log-on when the failure
    // dropped the connection; until the operation ends when a timed-out call kept it.
    bool failureReported = false;
    // Failed calls so far, reported or not; DatabaseOperation counts its own by it.
    int failures = 0;
    // DatabaseOperations open, one inside the other.
    int operationDepth = 0;
    // That failure was the loss of the connection.
    bool connectionLost = false;
    // Who logged on where, as given to LogOn; empty while logged off. Never the password.
    std::string user;
    std::string host;
    // The session columns (their ids) the server answered ORA-00904 for; the session layer
    // leaves them out until the next log-on.
    std::vector<int> unavailableColumns;
    // The SID of the connection's own session once the session layer has asked for it; empty
    // before.
    std::string ownSid;
    // The limit on each round trip that the client library took at the log-on; 0 for none.
    int callTimeoutSeconds = 0;
    // The limit in force now: the one of the log-on, or a kill's longer one.
    int callLimitSeconds = 0;
    // The server's release, read at the log-on; unknown (0) while logged off.
    ServerRelease serverRelease;
    // The warning of the last log-on (a password about to expire), until it is taken.
    int logonWarningCode = 0;
    std::string logonWarning;
    // Return-length and return-code targets of every scalar define; nothing reads them.
    ub2 scalarLength = 0;
    ub2 scalarCode = 0;
};

// The connection the calls of this thread use: the main one, unless a ConnectionInUse says
// otherwise.
OracleConnection& TheConnection();
// The window's connection, all-zero at start; only its changes reach the connection observers.
OracleConnection& MainConnection();

// While it lives, the calls of this thread use the given connection.
class ConnectionInUse {
public:
    explicit ConnectionInUse(OracleConnection& connection);
    ~ConnectionInUse();
    ConnectionInUse(const ConnectionInUse&) = delete;
    ConnectionInUse& operator=(const ConnectionInUse&) = delete;

private:
    OracleConnection* m_previous;
};

// Logs on with three NUL-terminated texts and the privilege asked for; on failure shows one
// message and returns false. An empty user and password log on by external authentication (a
// wallet, the operating system). A warning that comes with the log-on is no failure: it waits in
// the connection for the caller. Every later round trip is limited to the call time limit.
bool LogOn(const char* user, const char* password, const char* host,
           ConnectAs mode = ConnectAs::Normal);
// The release of the server logged on to; unknown (all 0) while logged off.
const ServerRelease& ConnectedServerRelease();
// The limit on each round trip of later log-ons, in seconds; 0 for none. 30 until set.
void SetCallTimeoutSeconds(int seconds);

// The shortest limit of a call that waits on the server by design: a kill waits up to 60
// seconds for a busy session to end before the server answers.
inline constexpr int kLongCallSeconds = 75;
// While it lives, calls may take kLongCallSeconds, or the call time limit when that is longer.
class LongCallTimeLimit {
public:
    LongCallTimeLimit();
    ~LongCallTimeLimit();
    LongCallTimeLimit(const LongCallTimeLimit&) = delete;
    LongCallTimeLimit& operator=(const LongCallTimeLimit&) = delete;

private:
    bool m_bRaised = false;
};
// The text of the last log-on's warning, once; empty when there was none.
std::string TakeLogonWarning();
// Whether an Oracle error number warns of a password that will expire.
bool IsPasswordExpiryWarning(int code);
// The regular log-off; a failing client library is noted on diagnostics, never in a box.
// Returns false when that happened; true also when nobody was logged on.
bool LogOff(std::FILE* diagnostics = stdout);
bool IsLoggedOn();
// The log-off that follows every reported failure.
void DropConnection();

// Called after each successful log-on of the main connection, before its observers, with what it
// logged on with, so that a worker may log on alike; the texts are valid during the call only.
using MainLogonListener =
    std::function<void(const char* user, const char* password, const char* host, ConnectAs mode)>;
void SetMainLogonListener(MainLogonListener listener);
// Called after every change of the main connection's logged-on state; returns an id for the
// removal.
int AddConnectionObserver(std::function<void()> observer);
void RemoveConnectionObserver(int id);

// Whether an Oracle error number means the connection is gone.
bool IsConnectionLostCode(int code);
// Whether it means the client library cut a call at the time limit; the connection may then
// still be usable.
bool IsCallTimeoutCode(int code);
// Whether the client library still holds the connection as usable; no round trip.
bool ConnectionAnswers();

// One user action on the database: a refresh, a properties request, a kill, a log-on's access
// check. It gets one message at most: after its first reported failure the rest fail silently.
// A timed-out call that kept the connection stays quiet only until the outermost operation
// ends; every statement's cursor is an operation of its own inside any other.
class DatabaseOperation {
public:
    DatabaseOperation();
    ~DatabaseOperation();
    DatabaseOperation(const DatabaseOperation&) = delete;
    DatabaseOperation& operator=(const DatabaseOperation&) = delete;

    // Whether a call failed since it began, reported or not.
    bool Failed() const;

private:
    int m_nFailuresBefore = 0;
};
