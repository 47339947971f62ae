#include "AppIdentity.h"

#include <QDir>

QIcon AppIcon() {
    QIcon icon;
    const QDir pictures(QStringLiteral(":/icons"));
    for (const QString& file : pictures.entryList({QStringLiteral("nimbra-*.png")})) {
        icon.addFile(pictures.filePath(file));
    }
    return icon;
}

QString DesktopFileName() {
    return QStringLiteral(NIMBRA_APP_ID);
}
