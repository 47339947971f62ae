#pragma once
// Which database and instance a connection reaches, as the activity history names its file.

#include <QString>
#include <optional>
#include <string>

struct DatabaseIdentity {
    std::string dbid;
    std::string name;
    std::string instanceNumber;
    std::string instanceName;
};

extern const char* const kDatabaseIdentityStatement;

// Reads the identity through the current connection in one round trip; none when the statement
// failed, which has been reported through the database layer.
std::optional<DatabaseIdentity> ReadDatabaseIdentity();

// "activity-<dbid>-<instance number>.sqlite": one history per instance of a database, whatever
// its name or the host string it was reached by.
QString HistoryFileName(const DatabaseIdentity& identity);
