// The session list of 10,000 sessions: the whole client path against the instance's own time
// for the same two statements, so the client-side share can be read off one run.

#include <benchmark/benchmark.h>

#include "OracleConnection.h"
#include "SessionStatements.h"
#include "Sim.h"

namespace {
const std::string kCount = "SELECT count(*) FROM sys.v_$session";

void BM_FetchSessionRows(benchmark::State& state) {
    sim::Controls::instance().reset();
    if (!LogOn("system", "manager", "sim:large")) {
        state.SkipWithError("log-on failed");
        return;
    }
    for (auto _ : state) {
        SessionList sessions = FetchSessionRows(true);
        benchmark::DoNotOptimize(sessions.rows.data());
        sim::Controls::instance().clearStatementLog();
    }
    LogOff();
}

void BM_InstanceOnly(benchmark::State& state) {
    sim::Controls::instance().reset();
    sim::OraError error;
    auto connection = sim::Connection::logon("system", "manager", "large", error);
    if (!connection) {
        state.SkipWithError("log-on failed");
        return;
    }
    const std::string list = SessionListStatement(true);
    for (auto _ : state) {
        sim::Cursor count(*connection);
        benchmark::DoNotOptimize(count.execute(kCount));
        sim::Cursor rows(*connection);
        benchmark::DoNotOptimize(rows.execute(list));
        sim::Controls::instance().clearStatementLog();
    }
}
}  // namespace

BENCHMARK(BM_FetchSessionRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InstanceOnly)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
