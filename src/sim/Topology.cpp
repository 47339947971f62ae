// What the database is made of: the instances of a cluster (GV$INSTANCE) and the containers of a
// container database (V$CONTAINERS).

#include "OraText.h"
#include "StoreBinding.h"

namespace sim {

namespace {

constexpr const char* kTopologySchema = R"(
CREATE TABLE sys."gv_$instance" (inst_id NUMBER, instance_number NUMBER,
    instance_name VARCHAR2(16), host_name VARCHAR2(64), status VARCHAR2(12), "thread#" NUMBER);
CREATE TABLE sys."x$con" (con_id NUMBER, name VARCHAR2(128), open_mode VARCHAR2(10));
)";
// Containers came with release 12.1.
constexpr const char* kContainersView = R"(
CREATE VIEW sys."v_$containers" AS SELECT con_id, name, open_mode FROM sys."x$con"
    WHERE sim_container() <= 1 OR con_id = sim_container();
)";

}  // namespace

std::vector<std::string> instanceNamesOf(const ScenarioSpec& setup) {
    if (!setup.instanceNames.empty())
        return setup.instanceNames;
    return {lowerCase(setup.databaseName)};
}

void Store::createTopology(const ScenarioSpec& setup, const std::string& hostName) {
    exec(kTopologySchema);
    if (setup.release.major >= 12)
        exec(kContainersView);
    const std::vector<std::string> names = instanceNamesOf(setup);
    const Prepared instance = prepare(R"(INSERT INTO sys."gv_$instance" VALUES (?, ?, ?, ?,
                                         'OPEN', ?))");
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        run(instance, number, number, names[i],
            names.size() == 1 ? hostName
                              : lowerCase(setup.databaseName) + "node0" + std::to_string(number),
            number);
    }
    const Prepared container = prepare(R"(INSERT INTO sys."x$con" VALUES (?, ?, ?))");
    if (setup.containers.empty()) {
        run(container, 0, upperCase(setup.databaseName), std::string("READ WRITE"));
        return;
    }
    run(container, 1, std::string("CDB$ROOT"), std::string("READ WRITE"));
    run(container, 2, std::string("PDB$SEED"), std::string("READ ONLY"));
    for (const ContainerSpec& spec : setup.containers) {
        run(container, spec.id, spec.name, spec.openMode);
    }
}

}  // namespace sim
