// A full refresh of 10,000 sessions into the session list view, with 100 of them selected and
// kept selected across it, beside the database part of it alone, so that the list's share of a
// refresh can be read off one run.

#include <benchmark/benchmark.h>

#include <QItemSelectionModel>
#include <QSettings>
#include <QTemporaryDir>

#include "BenchSupport.h"
#include "NimbraView.h"
#include "OracleConnection.h"
#include "SessionStatements.h"
#include "Sim.h"

namespace {
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

void BM_DatabasePart(benchmark::State& state) {
    LargeInstance instance;
    if (!instance.loggedOn()) {
        state.SkipWithError("log-on failed");
        return;
    }
    for (auto _ : state) {
        std::vector<SessionRow> rows = FetchSessionRows(true);
        benchmark::DoNotOptimize(rows.data());
        sim::Controls::instance().clearStatementLog();
    }
}

void BM_RefreshListIntoView(benchmark::State& state) {
    LargeInstance instance;
    if (!instance.loggedOn()) {
        state.SkipWithError("log-on failed");
        return;
    }
    CNimbraView view;
    view.resize(800, 600);
    view.RefreshList();
    const int listed = view.ListModel()->GetItemCount();
    for (int i = 0; i < 100; ++i) {
        view.selectionModel()->select(view.ListModel()->index(i * listed / 100, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    for (auto _ : state) {
        view.RefreshList();
        benchmark::DoNotOptimize(view.ListModel()->GetItemCount());
        if (view.selectionModel()->selectedRows().size() != 100) {
            state.SkipWithError("the selection was not kept");
            break;
        }
        sim::Controls::instance().clearStatementLog();
    }
}
}  // namespace

BENCHMARK(BM_DatabasePart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshListIntoView)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
