#include "DatabaseShape.h"

#include <optional>

#include "OracleConnection.h"
#include "SessionRecords.h"
#include "TextRows.h"

namespace {
constexpr ub2 kTableOrViewDoesNotExist = 942;
// A cluster has at most 100 instances; containers are numbered below 4,100.
constexpr ub4 kMaxInstances = 100;
constexpr ub4 kMaxContainers = 4100;
// Containers came with release 12.1.
constexpr int kContainerRelease = 12;

std::string nameOf(const std::map<std::string, std::string>& names, const std::string& id) {
    const auto found = names.find(id);
    return found == names.end() ? id : found->second;
}

std::optional<DatabaseShape> readShape() {
    DatabaseShape shape;
    const DatabaseOperation probe;
    constexpr int kName = FetchWidth::Name;
    if (const auto rows = FetchTextRows(ClusterProbeStatement(),
                                        {FetchWidth::Number, kName, FetchWidth::Number, kName},
                                        kMaxInstances, kTableOrViewDoesNotExist)) {
        for (const auto& row : *rows) {
            shape.instances[row[0]] = row[1];
            shape.ownInstance = row[2];
            shape.databaseName = row[3];
        }
    }
    const ServerRelease& release = ConnectedServerRelease();
    if (!probe.Failed() && (!release.Known() || release.major >= kContainerRelease)) {
        if (const auto rows = FetchTextRows(ContainerProbeStatement(), {FetchWidth::Number, kName},
                                            kMaxContainers, kTableOrViewDoesNotExist)) {
            for (const auto& row : *rows) {
                shape.containers[row[0]] = row[1];
            }
        }
    }
    if (probe.Failed()) {
        return std::nullopt;
    }
    return shape;
}
}  // namespace

std::string DatabaseShape::InstanceName(const std::string& instance) const {
    return nameOf(instances, instance);
}

std::string DatabaseShape::ContainerName(const std::string& conId) const {
    return nameOf(containers, conId);
}

// Only instances with sessions count: one that is down shows none.
std::string ClusterProbeStatement() {
    return "SELECT i.inst_id, i.instance_name, SYS_CONTEXT('USERENV', 'INSTANCE'), "
           "SYS_CONTEXT('USERENV', 'DB_NAME') FROM sys.gv_$instance i WHERE EXISTS (SELECT 1 "
           "FROM sys.gv_$session s WHERE s.inst_id = i.inst_id) ORDER BY i.inst_id";
}

// Rows only in the root: a pluggable database and a database without containers give none.
std::string ContainerProbeStatement() {
    return "SELECT con_id, name FROM sys.v_$containers WHERE SYS_CONTEXT('USERENV', 'CON_ID') = "
           "'1' ORDER BY con_id";
}

namespace {
DatabaseShape& shapeKept() {
    static DatabaseShape shape;
    return shape;
}
int& shapeLogon() {
    static int logon = -1;
    return logon;
}
}  // namespace

const DatabaseShape& KnownDatabaseShape() {
    static const DatabaseShape none;
    const OracleConnection& c = TheConnection();
    return c.loggedOn && shapeLogon() == c.logonId ? shapeKept() : none;
}

const DatabaseShape& ConnectedDatabaseShape() {
    DatabaseShape& shape = shapeKept();
    int& readAtLogon = shapeLogon();
    const OracleConnection& c = TheConnection();
    if (!c.loggedOn) {
        shape = {};
        readAtLogon = -1;
    } else if (readAtLogon != c.logonId) {
        // A failed read is tried again at the next need.
        std::optional<DatabaseShape> read = readShape();
        shape = read.value_or(DatabaseShape());
        readAtLogon = read ? c.logonId : -1;
    }
    return shape;
}
