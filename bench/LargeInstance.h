#pragma once
// What the benchmarks of the session list view share: the large scenario logged on with
// settings of their own, and a refresh timed beside its database part in one loop.

#include <benchmark/benchmark.h>

#include <QSettings>
#include <QTemporaryDir>
#include <chrono>
#include <functional>

#include "BenchSupport.h"
#include "OracleConnection.h"
#include "SessionStatements.h"
#include "Sim.h"
#include "sessionview/NimbraView.h"

using BenchClock = std::chrono::steady_clock;

inline double Milliseconds(BenchClock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Logged on to the large scenario, or the one given, with settings of its own so no user's file
// is read.
class LargeInstance {
public:
    explicit LargeInstance(const std::function<void()>& defineScenarios = {},
                           const char* host = "sim:large") {
        EnsureApplication();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        sim::Controls::instance().reset();
        if (defineScenarios) {
            defineScenarios();
        }
        m_loggedOn = LogOn("system", "manager", host);
    }
    ~LargeInstance() { LogOff(); }
    bool loggedOn() const { return m_loggedOn; }

private:
    QTemporaryDir m_settings;
    bool m_loggedOn = false;
};

// Fills a view of the instance's sessions once; false, the run skipped, when the log-on failed.
inline bool ListInto(const LargeInstance& instance, CNimbraView& view, benchmark::State& state) {
    if (!instance.loggedOn()) {
        state.SkipWithError("log-on failed");
        return false;
    }
    view.resize(800, 600);
    view.RefreshList();
    return true;
}

// Each iteration reads the sessions as a refresh does, then refreshes the view, so that both
// parts see the same machine and heap; kept says whether the view kept what it should.
inline void TimeRefreshBesideDatabase(benchmark::State& state, CNimbraView& view,
                                      const std::function<bool()>& kept) {
    BenchClock::duration database{};
    BenchClock::duration refresh{};
    for (auto _ : state) {
        // The rows are freed within the database part, as the refresh frees its own.
        const BenchClock::time_point start = BenchClock::now();
        benchmark::DoNotOptimize(
            FetchSessionRows(view.ShowSystem(), view.ShownColumnIds()).rows.size());
        const BenchClock::time_point fetched = BenchClock::now();
        view.RefreshList();
        refresh += BenchClock::now() - fetched;
        database += fetched - start;
        sim::Controls::instance().clearStatementLog();
        if (!kept()) {
            state.SkipWithError("the view did not keep the user's place");
            break;
        }
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["database_ms"] = Milliseconds(database) / iterations;
    state.counters["refresh_ms"] = Milliseconds(refresh) / iterations;
    state.counters["refresh_per_database"] = Milliseconds(refresh) / Milliseconds(database);
}
