#include <ctime>
#include <thread>
#include <utility>

#include "Instance.h"
#include "OraText.h"
#include "Scenarios.h"

namespace sim {

Controls& Controls::instance() {
    static Controls controls;
    return controls;
}

// Defined scenarios stay: a test may define them once for all its cases.
void Controls::reset() {
    m_failures.clear();
    m_delays.clear();
    m_logonWarning = {};
    m_latency = std::chrono::microseconds{0};
    m_roundTrips = 0;
    m_sessionsAfterCount = 0;
    m_fixedTime.reset();
    m_clockOffset = 0;
    m_seed = 1;
    m_log.clear();
    m_instances.clear();
}

void Controls::failCall(Call call, int nth, int code) {
    if (nth > 0) {
        m_failures.push_back({call, nth, code});
    }
}

std::optional<int> Controls::takeFailure(Call call) {
    std::optional<int> code;
    for (PlannedFailure& planned : m_failures) {
        if (planned.call == call && --planned.remaining == 0 && !code) {
            code = planned.code;
        }
    }
    std::erase_if(m_failures, [](const PlannedFailure& p) { return p.remaining <= 0; });
    return code;
}

void Controls::delayCall(Call call, int nth, std::chrono::milliseconds duration,
                         bool survivesTimeout) {
    if (nth > 0) {
        m_delays.push_back({call, nth, {duration, survivesTimeout}});
    }
}

std::optional<Controls::Delay> Controls::takeDelay(Call call) {
    std::optional<Delay> duration;
    for (PlannedDelay& planned : m_delays) {
        if (planned.call == call && --planned.remaining == 0 && !duration) {
            duration = planned.delay;
        }
    }
    std::erase_if(m_delays, [](const PlannedDelay& p) { return p.remaining <= 0; });
    return duration;
}

void Controls::warnAtNextLogon(OraError warning) {
    m_logonWarning = std::move(warning);
}

OraError Controls::takeLogonWarning() {
    return std::exchange(m_logonWarning, OraError{});
}

void Controls::setRoundTripLatency(std::chrono::microseconds latency) {
    m_latency = latency;
}

void Controls::roundTrip() {
    if (m_latency.count() > 0) {
        std::this_thread::sleep_for(m_latency);
    }
    ++m_roundTrips;
}

void Controls::addSessionsAfterNextCount(int n) {
    m_sessionsAfterCount = n;
}

int Controls::takeSessionsAfterCount() {
    return std::exchange(m_sessionsAfterCount, 0);
}

void Controls::setFixedTime(std::int64_t unixSeconds) {
    m_fixedTime = unixSeconds;
}

void Controls::advanceClock(std::int64_t seconds) {
    if (m_fixedTime) {
        *m_fixedTime += seconds;
    } else {
        m_clockOffset += seconds;
    }
}

void Controls::useRealClock() {
    m_fixedTime.reset();
    m_clockOffset = 0;
}

std::int64_t Controls::now() const {
    return m_fixedTime ? *m_fixedTime
                       : static_cast<std::int64_t>(std::time(nullptr)) + m_clockOffset;
}

void Controls::setSeed(std::uint32_t seed) {
    m_seed = seed;
}

void Controls::defineScenario(const std::string& name, ScenarioSpec setup) {
    for (auto& [known, defined] : m_scenarios) {
        if (known == name) {
            defined = std::move(setup);
            return;
        }
    }
    m_scenarios.emplace_back(name, std::move(setup));
}

const ScenarioSpec* Controls::definedScenario(const std::string& name) const {
    for (const auto& [known, defined] : m_scenarios) {
        if (known == name)
            return &defined;
    }
    return nullptr;
}

std::shared_ptr<Instance> Controls::instanceFor(const std::string& scenario, OraError& error) {
    for (const auto& [name, running] : m_instances) {
        if (name == scenario)
            return running;
    }
    std::shared_ptr<Instance> created;
    if (const ScenarioSpec* defined = definedScenario(scenario)) {
        created = std::make_shared<Instance>(*defined, false, m_seed, now());
    } else if (const auto builtin = builtinScenario(scenario, m_seed, now())) {
        created =
            std::make_shared<Instance>(*builtin, lowerCase(scenario) == "demo", m_seed, now());
    } else {
        error = oraError(12154);
        return nullptr;
    }
    m_instances.emplace_back(scenario, created);
    return created;
}

}  // namespace sim
