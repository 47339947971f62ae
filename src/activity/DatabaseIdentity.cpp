#include "DatabaseIdentity.h"

#include "OracleConnection.h"
#include "TextRows.h"

const char* const kDatabaseIdentityStatement =
    "SELECT dbid, name, SYS_CONTEXT('USERENV', 'INSTANCE'), "
    "SYS_CONTEXT('USERENV', 'INSTANCE_NAME') FROM sys.v_$database";

std::optional<DatabaseIdentity> ReadDatabaseIdentity() {
    DatabaseOperation operation;
    const std::optional<TextRows> rows =
        FetchTextRows(kDatabaseIdentityStatement, {41, 10, 41, 17}, 1, 0);
    if (!rows || rows->empty() || operation.Failed()) {
        return std::nullopt;
    }
    const std::vector<std::string>& row = rows->front();
    return DatabaseIdentity{row[0], row[1], row[2], row[3]};
}

QString HistoryFileName(const DatabaseIdentity& identity) {
    return QStringLiteral("activity-%1-%2.sqlite")
        .arg(QString::fromStdString(identity.dbid),
             QString::fromStdString(identity.instanceNumber));
}
