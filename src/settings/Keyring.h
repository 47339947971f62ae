#pragma once
// The desktop's keyring (the Secret Service: GNOME Keyring, KWallet, KeePassXC) through
// QtKeychain, one entry per user name and host string under the service "Nimbra". Each call
// waits for its answer in a local event loop that takes no user input, at most WaitLimit(): a
// locked keyring shows the desktop's own unlock prompt meanwhile, and a hung one cannot hold
// the program for longer.

#include <QString>
#include <chrono>

namespace Keyring {

enum class Answer {
    Done,
    NotFound,     // no entry; a refused or failed unlock prompt reads so too
    Failed,       // refused, locked, timed out or broken off: nothing changed that is known
    Unreachable,  // no session bus, or no keyring service on it that could be started
};

struct Reading {
    Answer answer = Answer::Unreachable;
    QString password;
};

// Whether a keyring service runs on the session bus or can be started there.
bool IsReachable();

Reading Read(const QString& user, const QString& host);
Answer Write(const QString& user, const QString& host, const QString& password);
Answer Remove(const QString& user, const QString& host);

// "user@host", the entry's key (its "user" attribute); texts as typed, case kept.
QString EntryName(const QString& user, const QString& host);

// Long enough for a person to answer the unlock prompt.
inline constexpr std::chrono::milliseconds kDefaultWaitLimit{60'000};
std::chrono::milliseconds WaitLimit();
void SetWaitLimit(std::chrono::milliseconds limit);

}  // namespace Keyring
