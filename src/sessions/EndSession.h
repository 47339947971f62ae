#pragma once
// The ways to end a session or interrupt what it runs: the statement each sends, the release it
// needs, and how the question and the status bar name it.

#include <QString>
#include <optional>
#include <string>

#include "ServerRelease.h"

enum class EndSession {
    Kill,             // waits up to a minute for a busy session, then marks it
    KillImmediately,  // the server does not wait
    Disconnect,       // once the session's transaction has ended
    CancelSql,        // the running statement only; the session stays connected
};

// "Alter system kill session '12, 345'", "ALTER SYSTEM KILL SESSION '12,345' IMMEDIATE", ...;
// with an instance "... '12,345,@2' ..." for that instance of a cluster. sid and serial must be
// session keys.
std::string EndSessionStatement(EndSession kind, const std::string& sid, const std::string& serial,
                                const std::string& instance = {});

// Whether the connected server knows the statement; an unknown release is given the benefit.
bool IsAvailable(EndSession kind, const ServerRelease& release);
// Why it is greyed on this server; empty when it is available.
QString UnavailableText(EndSession kind, const ServerRelease& release);
// Whether the statement can name another instance of a cluster than the one logged on to: a
// disconnect never can, the others from release 11 on. An unknown release is given the benefit.
bool ReachesOtherInstances(EndSession kind, const ServerRelease& release);
// Why it is greyed for a session of another instance; empty when it is not.
QString OtherInstanceText(EndSession kind, const ServerRelease& release);

// The question's first line: "Do You really want to kill this session?", "... to cancel the
// current SQL of these 3 sessions?".
QString EndSessionQuestion(EndSession kind, std::size_t sessions);
// What a session the server refuses to end is said to be: "which cannot be killed".
QString CannotText(EndSession kind);
// What the status bar counts the done ones as: "killed", "disconnected", "cancelled".
QString DoneText(EndSession kind);

// What the server answered an end-session statement.
struct EndAnswer {
    int code = 0;         // 0 when the server did it, else the Oracle error number
    std::string message;  // the "ORACLE Error" text of a refusal; empty on success
};
// Sends the statement, which may take as long as the server waits for a busy session, and hands
// the server's answer to the caller, which decides what to show; only a lost connection is
// reported here. Nothing is sent for a key that is not a session key.
std::optional<EndAnswer> EndSessionOn(EndSession kind, const std::string& sid,
                                      const std::string& serial, const std::string& instance = {});
// The kill of the list's command.
inline std::optional<EndAnswer> KillSession(const std::string& sid, const std::string& serial) {
    return EndSessionOn(EndSession::Kill, sid, serial);
}
