// A full refresh of 10,000 sessions into the session list view, with 100 of them selected and
// kept selected across it, beside the database part of the same refresh, measured alternately
// in one loop so that both see the same machine and the same heap. The list's share of a
// refresh is the ratio of the two.

#include <benchmark/benchmark.h>

#include <QItemSelectionModel>

#include "LargeInstance.h"

namespace {
void BM_RefreshKeepingSelection(benchmark::State& state) {
    LargeInstance instance;
    CNimbraView view;
    if (!ListInto(instance, view, state)) {
        return;
    }
    const int listed = view.Sessions()->GetItemCount();
    for (int i = 0; i < 100; ++i) {
        view.selectionModel()->select(view.model()->index(i * listed / 100, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    TimeRefreshBesideDatabase(state, view,
                              [&] { return view.selectionModel()->selectedRows().size() == 100; });
}
}  // namespace

BENCHMARK(BM_RefreshKeepingSelection)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
