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
// What the database and its host are: the columns of V$DATABASE up to 11.2, and the few
// parameters and operating system figures that tools read.
constexpr const char* kDatabaseSchema = R"(
CREATE TABLE sys."v_$database" (dbid NUMBER, name VARCHAR2(9), created DATE,
    log_mode VARCHAR2(12), open_mode VARCHAR2(20), database_role VARCHAR2(16),
    platform_name VARCHAR2(101), db_unique_name VARCHAR2(30));
CREATE TABLE sys."v_$parameter" (num NUMBER, name VARCHAR2(80), type NUMBER,
    value VARCHAR2(4000), display_value VARCHAR2(4000), isdefault VARCHAR2(9),
    description VARCHAR2(255));
CREATE TABLE sys."v_$osstat" (stat_name VARCHAR2(64), value NUMBER, osstat_id NUMBER,
    comments VARCHAR2(64), cumulative VARCHAR2(3));
)";
// Containers came with release 12.1.
constexpr const char* kContainersView = R"(
CREATE VIEW sys."v_$containers" AS SELECT con_id, name, open_mode FROM sys."x$con"
    WHERE sim_container() <= 1 OR con_id = sim_container();
)";

}  // namespace

// A DBID as DBCA draws one: ten digits, here from the database's name.
std::uint32_t dbidOf(const ScenarioSpec& setup) {
    if (setup.dbid != 0)
        return setup.dbid;
    std::uint32_t hash = 2166136261u;
    for (char c : upperCase(setup.databaseName)) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return 1000000000u + hash % 3000000000u;
}

void Store::createDatabase(const ScenarioSpec& setup, const std::string& instanceName) {
    exec(kDatabaseSchema);
    if (setup.release.major >= 12)
        exec(R"(ALTER TABLE sys."v_$database" ADD cdb VARCHAR2(3);
                ALTER TABLE sys."v_$database" ADD con_id NUMBER;)");
    const std::uint32_t dbid = dbidOf(setup);
    const std::string name = upperCase(setup.databaseName).substr(0, 9);
    // Created a few years before, on a day the DBID picks.
    const std::int64_t created = 1546300800 + static_cast<std::int64_t>(dbid % 31536000);
    const Prepared database = prepare(
        R"(INSERT INTO sys."v_$database" (dbid, name, created, log_mode, open_mode,
           database_role, platform_name, db_unique_name) VALUES (?, ?, ?, 'ARCHIVELOG',
           'READ WRITE', 'PRIMARY', 'Linux x86 64-bit', ?))");
    run(database, static_cast<std::int64_t>(dbid), name, localIsoDate(created), name);
    if (setup.release.major >= 12)
        exec(std::string(R"(UPDATE sys."v_$database" SET con_id = 0, cdb = )") +
             (setup.containers.empty() ? "'NO'" : "'YES'"));
    const std::string cpus = std::to_string(setup.cpuCount);
    const Prepared parameter =
        prepare(R"(INSERT INTO sys."v_$parameter" VALUES (?, ?, ?, ?, ?, ?, ?))");
    run(parameter, 3, std::string("cpu_count"), 3, cpus, cpus, std::string("FALSE"),
        std::string("number of CPUs for this instance"));
    run(parameter, 497, std::string("db_block_size"), 3, std::string("8192"), std::string("8192"),
        std::string("FALSE"), std::string("Size of database block in bytes"));
    run(parameter, 1401, std::string("db_name"), 2, name, name, std::string("FALSE"),
        std::string("database name specified in CREATE DATABASE"));
    run(parameter, 1466, std::string("instance_name"), 2, instanceName, instanceName,
        std::string("FALSE"), std::string("instance name supported by the instance"));
    const Prepared osstat = prepare(R"(INSERT INTO sys."v_$osstat" VALUES (?, ?, ?, NULL, 'NO'))");
    run(osstat, std::string("NUM_CPUS"), static_cast<std::int64_t>(setup.cpuCount), 0);
    run(osstat, std::string("NUM_CPU_CORES"), static_cast<std::int64_t>(setup.cpuCount / 2), 16);
    run(osstat, std::string("NUM_CPU_SOCKETS"), std::int64_t{1}, 17);
    run(osstat, std::string("PHYSICAL_MEMORY_BYTES"),
        static_cast<std::int64_t>(setup.cpuCount) * 8 * 1073741824, 1008);
}

std::vector<std::string> instanceNamesOf(const ScenarioSpec& setup) {
    if (!setup.instanceNames.empty())
        return setup.instanceNames;
    return {lowerCase(setup.databaseName)};
}

void Store::createTopology(const ScenarioSpec& setup, const std::string& hostName) {
    exec(kTopologySchema);
    createDatabase(setup, instanceNamesOf(setup).front());
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
    for (const ContainerSpec& pdb : setup.containers) {
        run(container, pdb.id, pdb.name, pdb.openMode);
    }
}

}  // namespace sim
