#include "ConnectionTexts.h"

#include "DatabaseShape.h"
#include "OracleConnection.h"

QString ConnectionTitle() {
    if (!IsLoggedOn()) {
        return {};
    }
    const OracleConnection& c = TheConnection();
    // Oracle folds a user name to capitals unless it is quoted.
    QString user = QString::fromStdString(c.user);
    if (user.size() >= 2 && user.startsWith(u'"') && user.endsWith(u'"')) {
        user = user.mid(1, user.size() - 2);
    } else {
        user = user.toUpper();
    }
    QString title = c.host.empty() ? user : user + u'@' + QString::fromStdString(c.host);
    const DatabaseShape& shape = KnownDatabaseShape();
    if (shape.Clustered()) {
        title += QStringLiteral(" - cluster %1, instance %2 (%3)")
                     .arg(QString::fromStdString(shape.databaseName),
                          QString::fromStdString(shape.InstanceName(shape.ownInstance)),
                          QString::fromStdString(shape.ownInstance));
    }
    return title;
}

QString SessionCountText(std::size_t sessions) {
    return sessions == 1 ? QStringLiteral("1 session")
                         : QStringLiteral("%1 sessions").arg(sessions);
}

QString ConnectionLostText() {
    return QStringLiteral("The connection to the database was lost.");
}

QString NotConnectedText() {
    return QStringLiteral("Not connected");
}
