#pragma once
// The built-in scenarios and the sessions that appear in them, all drawn from a seeded
// generator so that a seed and a clock always give the same instance.

#include <cstdint>
#include <optional>
#include <string>

#include "Sim.h"

namespace sim {

// splitmix64: the same sequence on every platform and standard library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next();
    // 0 <= result < n
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }

private:
    std::uint64_t m_state;
};

// "demo", "large" or "empty" (letter case ignored); nullopt for any other name. Each lists
// its clients' own sessions; large has 9,999 sessions, so 10,000 with one client connected.
std::optional<ScenarioSpec> builtinScenario(const std::string& name, std::uint32_t seed,
                                            std::int64_t now);

// A client session that logged on at logonTime.
SessionSpec randomUserSession(Rng& rng, int sid, std::int64_t logonTime);
// A statement for a session to run; nullopt now and then (no statement).
std::optional<std::string> randomStatement(Rng& rng);

}  // namespace sim
