#include "PrintDestination.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString DefaultOutputFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString UsableOutputFile(const QString& file, const QString& fallback) {
    const QFileInfo info(file);
    return !file.isEmpty() && !info.isDir() && info.absoluteDir().exists() ? file : fallback;
}
