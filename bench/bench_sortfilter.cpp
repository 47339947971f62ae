// The session list of sim:large sorted and filtered: a re-sort by a text column and one filter
// keystroke, each beside a rebuild of the list's rows measured alternately in the same loop; a
// refresh into the sorted, filtered view beside its database part; and the list statement with
// five chosen columns beside the instance's own time for the same statements.

#include <benchmark/benchmark.h>

#include "LargeInstance.h"
#include "sessionview/SessionSortFilter.h"

namespace {
using Clock = BenchClock;
using Id = SessionColumnId;
const std::vector<Id> kFiveMore = {Id::Event, Id::WaitClass, Id::SqlId, Id::LastCallEt, Id::Module};

// The rows as the view holds them, to put back as a refresh would into an emptied list.
std::vector<CListModel::Row> rowsOf(const CListModel& model) {
    std::vector<CListModel::Row> rows;
    for (int row = 0; row < model.GetItemCount(); ++row) {
        CListModel::Row& texts = rows.emplace_back();
        for (int column = 0; column < model.columnCount(); ++column) {
            texts.Append(model.GetItemText(row, column).toStdString());
        }
    }
    return rows;
}

void BM_ResortAndFilterBesideRebuild(benchmark::State& state) {
    LargeInstance instance;
    CNimbraView view;
    if (!ListInto(instance, view, state)) {
        return;
    }
    const std::vector<CListModel::Row> rows = rowsOf(*view.Sessions());
    Clock::duration rebuild{};
    Clock::duration resort{};
    Clock::duration keystroke{};
    for (auto _ : state) {
        view.UseServerOrder();
        view.SetFilter(SessionFilter());
        std::vector<CListModel::Row> copy = rows;
        const Clock::time_point start = Clock::now();
        view.Sessions()->DeleteAllItems();
        view.Sessions()->ReplaceRows(std::move(copy), {int(Id::Sid), int(Id::Serial)});
        const Clock::time_point rebuilt = Clock::now();
        view.sortByColumn(int(Id::Machine), Qt::AscendingOrder);
        const Clock::time_point sorted = Clock::now();
        view.SetFilter(SessionFilter(QStringLiteral("app")));
        const Clock::time_point typed = Clock::now();
        view.SetFilter(SessionFilter(QStringLiteral("appserver-prod-0")));
        keystroke += Clock::now() - typed;
        rebuild += rebuilt - start;
        resort += sorted - rebuilt;
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["rebuild_ms"] = Milliseconds(rebuild) / iterations;
    state.counters["resort_ms"] = Milliseconds(resort) / iterations;
    state.counters["keystroke_ms"] = Milliseconds(keystroke) / iterations;
    state.counters["resort_per_rebuild"] = Milliseconds(resort) / Milliseconds(rebuild);
    state.counters["keystroke_per_rebuild"] = Milliseconds(keystroke) / Milliseconds(rebuild);
}

void BM_RefreshSortedFiltered(benchmark::State& state) {
    LargeInstance instance;
    CNimbraView view;
    if (!ListInto(instance, view, state)) {
        return;
    }
    view.sortByColumn(int(Id::Machine), Qt::AscendingOrder);
    view.SetFilter(SessionFilter(QStringLiteral("app")));
    TimeRefreshBesideDatabase(state, view, [] { return true; });
}

// The client's share: what the list statement with five more columns costs beyond the
// instance's own time for the same count and list.
void BM_FiveMoreColumnsClientShare(benchmark::State& state) {
    sim::Controls::instance().reset();
    if (!LogOn("system", "manager", "sim:large")) {
        state.SkipWithError("log-on failed");
        return;
    }
    sim::OraError error;
    auto connection = sim::Connection::logon("system", "manager", "large", error);
    const std::string count = "SELECT count(*) FROM sys.v_$session";
    const std::string list = SessionListStatement(true, ListColumns(kFiveMore));
    Clock::duration client{};
    Clock::duration server{};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(FetchSessionRows(true, kFiveMore).rows.size());
        const Clock::time_point fetched = Clock::now();
        {
            // Freed within the measure, as the client's cursors are freed within its own.
            sim::Cursor counted(*connection);
            benchmark::DoNotOptimize(counted.execute(count));
            sim::Cursor listed(*connection);
            benchmark::DoNotOptimize(listed.execute(list));
        }
        server += Clock::now() - fetched;
        client += fetched - start;
        sim::Controls::instance().clearStatementLog();
    }
    LogOff();
    state.counters["client_share"] =
        (Milliseconds(client) - Milliseconds(server)) / Milliseconds(server);
}
}  // namespace

BENCHMARK(BM_ResortAndFilterBesideRebuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshSortedFiltered)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiveMoreColumnsClientShare)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
