// The question before ending ten sessions of sim:large, with what their transactions would roll
// back, timed until it appears beside a refresh of the same list in one loop; and the round trips
// it costs.

#include <benchmark/benchmark.h>

#include "LargeInstance.h"
#include "widgets/MessageBox.h"

namespace {

void BM_EndQuestionBesideRefresh(benchmark::State& state) {
    LargeInstance instance;
    CNimbraView view;
    if (!ListInto(instance, view, state)) {
        return;
    }
    for (int row = 0; row < 10; ++row) {
        view.selectionModel()->select(view.model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    BenchClock::time_point asked;
    SetMessageBoxHandler([&asked](const QString&, MsgButtons, MsgIcon) {
        asked = BenchClock::now();
        return IDNO;
    });
    view.OnKillImmediately();  // the first question also learns Nimbra's own SID
    sim::Controls::instance().clearStatementLog();
    BenchClock::duration question{};
    BenchClock::duration refresh{};
    std::size_t roundTrips = 0;
    for (auto _ : state) {
        const BenchClock::time_point start = BenchClock::now();
        view.OnKillImmediately();
        question += asked - start;
        roundTrips += sim::Controls::instance().statementLog().size();
        sim::Controls::instance().clearStatementLog();
        const BenchClock::time_point refreshed = BenchClock::now();
        view.RefreshList();
        refresh += BenchClock::now() - refreshed;
        sim::Controls::instance().clearStatementLog();
    }
    SetMessageBoxHandler(nullptr);
    const double iterations = static_cast<double>(state.iterations());
    state.counters["question_ms"] = Milliseconds(question) / iterations;
    state.counters["refresh_ms"] = Milliseconds(refresh) / iterations;
    state.counters["question_per_refresh"] = Milliseconds(question) / Milliseconds(refresh);
    state.counters["round_trips"] = static_cast<double>(roundTrips) / iterations;
}
BENCHMARK(BM_EndQuestionBesideRefresh)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
