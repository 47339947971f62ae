#pragma once
// One sample of the instance's activity: the sessions that were active and not idle at one
// moment, read from V$SESSION, which needs no licence beyond the database's own.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One session as it was sampled.
struct ActivitySample {
    // Seconds since 1970-01-01 UTC, by the sampling client's clock.
    std::int64_t sampleTime = 0;
    int sid = 0;
    int serial = 0;
    std::string user;
    std::string sqlId;
    // The event waited on now; empty while the session is on CPU.
    std::string event;
    // The event's wait class, or kOnCpu.
    std::string waitClass;
    // The SID of the session holding what this one waits for; 0 for none.
    int blockingSession = 0;
    std::string module;
    std::string program;
    std::string machine;
};

// What the wait class of a session on CPU reads.
inline constexpr const char* kOnCpu = "ON CPU";

// The statement of one sample: the active sessions that are on CPU or in a wait that is not
// idle.
extern const char* const kActivitySampleStatement;

// Reads one sample through the current connection and stamps its rows with sampleTime. None
// when the statement failed; the failure has been reported through the database layer.
std::optional<std::vector<ActivitySample>> TakeActivitySample(std::int64_t sampleTime);
