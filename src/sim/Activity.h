#pragma once
// What sessions do during and between their calls: the wait events V$SESSION shows, their
// classes, and a believable wait for each kind of session.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Rng.h"
#include "Sim.h"

namespace sim {

inline constexpr std::string_view kWaiting = "WAITING";

// The current wait (state WAITING) or the last one (the session is on CPU).
struct Wait {
    std::string event;
    std::string waitClass;
    std::string state;
    std::int64_t since = 0;   // when it began
    std::int64_t micros = 0;  // while WAITING beyond the whole seconds since then; else its length
};

// The kinds of statement whose waits differ.
enum class Work { None, Lookup, Scan, Change, Commit, Call };
Work workOf(const std::optional<std::string>& sqlText);

// The class V$EVENT_NAME gives the event; "Other" for one the instance does not know.
std::string waitClassOf(std::string_view event);

// A client's session between its calls.
Wait idleWait(std::int64_t since, std::int64_t micros);
// A user session in a call at time at: on CPU after its last wait, or in the I/O, commit or
// network wait its statement makes.
Wait busyWait(Rng& rng, Work work, std::int64_t at);
// A session that waits since since for a row another session's transaction holds.
Wait rowLockWait(std::int64_t since);
// The wait is over at now: the session goes on on CPU with that wait as its last.
Wait finished(Wait wait, std::int64_t now);

// The session with every field a scenario left open filled in as a server would show it.
SessionSpec completed(SessionSpec session);

}  // namespace sim
