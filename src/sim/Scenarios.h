#pragma once
// The built-in scenarios and the sessions that appear in them, all drawn from a seeded
// generator so that a seed and a clock always give the same instance.

#include <cstdint>
#include <optional>
#include <string>

#include "Rng.h"
#include "Sim.h"

namespace sim {

// "demo", "large" or "empty" (letter case ignored); nullopt for any other name. Each lists
// its clients' own sessions; large has 9,999 sessions, so 10,000 with one client connected.
std::optional<ScenarioSpec> builtinScenario(const std::string& name, std::uint32_t seed,
                                            std::int64_t now);

// A client session that logged on at logonTime, busy at now in activePercent of the cases.
SessionSpec randomUserSession(Rng& rng, int sid, std::int64_t logonTime, std::int64_t now,
                              int activePercent = 30);
// A statement for a session to run; nullopt now and then (no statement).
std::optional<std::string> randomStatement(Rng& rng);

}  // namespace sim
