// A refresh of a cluster of three instances with 5,000 sessions each into the session list view,
// beside the database part of the same refresh, alternately in one loop: the list's share of a
// refresh with an Instance column and keys of three parts, to hold beside one instance's.

#include <benchmark/benchmark.h>

#include <QItemSelectionModel>
#include <string>

#include "LargeInstance.h"

namespace {
constexpr int kInstances = 3;
constexpr int kSessionsEach = 5000;

void defineCluster() {
    sim::ScenarioSpec setup;
    setup.databaseName = "PROD";
    setup.instanceNames = {"prod1", "prod2", "prod3"};
    for (int instance = 1; instance <= kInstances; ++instance) {
        for (int sid = 1; sid <= kSessionsEach; ++sid) {
            sim::SessionSpec s;
            s.username = "APP_USER" + std::to_string(sid % 97);
            s.sid = sid;
            s.serial = sid * 7 + instance;
            s.instance = instance;
            s.status = sid % 5 == 0 ? "ACTIVE" : "INACTIVE";
            s.osuser = "svc_app";
            s.machine = "appserver-" + std::to_string(sid % 40) + ".corp.example.com";
            s.program = "JDBC Thin Client";
            setup.sessions.push_back(std::move(s));
        }
    }
    sim::Controls::instance().defineScenario("cluster", setup);
}

void BM_ClusterRefresh(benchmark::State& state) {
    LargeInstance instance(defineCluster, "sim:cluster");
    CNimbraView view;
    if (!ListInto(instance, view, state)) {
        return;
    }
    if (view.Sessions()->GetItemCount() != kInstances * kSessionsEach ||
        view.isColumnHidden(int(SessionColumnId::Instance))) {
        state.SkipWithError("the cluster's sessions were not all listed");
        return;
    }
    view.selectionModel()->select(view.model()->index(kSessionsEach, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    TimeRefreshBesideDatabase(state, view,
                              [&] { return view.selectionModel()->selectedRows().size() == 1; });
}
}  // namespace

BENCHMARK(BM_ClusterRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
