// A full refresh of 10,000 sessions into the session list view, with 100 of them selected and
// kept selected across it, beside the database part of the same refresh, measured alternately
// in one loop so that both see the same machine and the same heap. The list's share of a
// refresh is the ratio of the two.

#include <benchmark/benchmark.h>

#include <QItemSelectionModel>
#include <QSettings>
#include <QTemporaryDir>
#include <chrono>

#include "BenchSupport.h"
#include "OracleConnection.h"
#include "SessionStatements.h"
#include "Sim.h"
#include "sessionview/NimbraView.h"

namespace {
using Clock = std::chrono::steady_clock;

// Logged on to the large scenario, with settings of its own so no user's file is read.
class LargeInstance {
public:
    LargeInstance() {
        EnsureApplication();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        sim::Controls::instance().reset();
        m_loggedOn = LogOn("system", "manager", "sim:large");
    }
    ~LargeInstance() { LogOff(); }
    bool loggedOn() const { return m_loggedOn; }

private:
    QTemporaryDir m_settings;
    bool m_loggedOn = false;
};

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

void BM_RefreshKeepingSelection(benchmark::State& state) {
    LargeInstance instance;
    if (!instance.loggedOn()) {
        state.SkipWithError("log-on failed");
        return;
    }
    CNimbraView view;
    view.resize(800, 600);
    view.RefreshList();
    const int listed = view.Sessions()->GetItemCount();
    for (int i = 0; i < 100; ++i) {
        view.selectionModel()->select(view.model()->index(i * listed / 100, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    Clock::duration database{};
    Clock::duration refresh{};
    for (auto _ : state) {
        // The rows are freed within the database part, as the refresh frees its own.
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(FetchSessionRows(view.ShowSystem()).rows.size());
        const Clock::time_point fetched = Clock::now();
        view.RefreshList();
        refresh += Clock::now() - fetched;
        database += fetched - start;
        sim::Controls::instance().clearStatementLog();
        if (view.selectionModel()->selectedRows().size() != 100) {
            state.SkipWithError("the selection was not kept");
            break;
        }
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["database_ms"] = milliseconds(database) / iterations;
    state.counters["refresh_ms"] = milliseconds(refresh) / iterations;
    state.counters["refresh_per_database"] = milliseconds(refresh) / milliseconds(database);
}
}  // namespace

BENCHMARK(BM_RefreshKeepingSelection)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
