#pragma once
// What the database logged on to is made of: the instances of a cluster, the containers of a
// container database. The list, the commands and the window title follow it.

#include <map>
#include <string>

struct DatabaseShape {
    // The instances whose sessions gv$session shows, number to name; empty when the user may
    // not read it.
    std::map<std::string, std::string> instances;
    // The instance logged on to, by number, and the database's name.
    std::string ownInstance;
    std::string databaseName;
    // Logged on to the root of a container database: every container, id to name; empty in a
    // pluggable database and outside a container database.
    std::map<std::string, std::string> containers;

    // More than one instance answers: the list reads every instance's sessions.
    bool Clustered() const { return instances.size() > 1; }
    bool InRoot() const { return !containers.empty(); }
    // The name of an instance or container by its number; the number itself when not known.
    std::string InstanceName(const std::string& instance) const;
    std::string ContainerName(const std::string& conId) const;
};

// The shape of the database logged on to, read at the first need after each log-on. What the
// user may not read leaves it a single instance without containers, and is said nowhere; while
// logged off, or after a failure (which has been reported), it is that too.
const DatabaseShape& ConnectedDatabaseShape();
// What has been read of it since the log-on, without asking the server: empty before the first
// list.
const DatabaseShape& KnownDatabaseShape();

std::string ClusterProbeStatement();
std::string ContainerProbeStatement();
