#include "SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace SettingsFile {

bool CloseToOthers(const QString& path, bool folder) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0 || S_ISDIR(info.st_mode) != folder ||
        !(folder || S_ISREG(info.st_mode))) {
        return true;
    }
    return (info.st_mode & (S_IRWXG | S_IRWXO)) == 0 ||
           ::chmod(name.constData(), info.st_mode & S_IRWXU) == 0;
}

bool MakePrivate(const QString& path) {
    const QFileInfo file(path);
    const QString folder = file.absolutePath();
    if (!QDir().mkpath(QFileInfo(folder).absolutePath()) ||
        (::mkdir(QFile::encodeName(folder).constData(), S_IRWXU) != 0 && errno != EEXIST) ||
        !CloseToOthers(folder, true)) {
        return false;
    }
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return CloseToOthers(path, false);
}

QString WhatFailed(const QString& path, bool writing) {
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (folder.exists() && !folder.isDir()) {
        return QStringLiteral("%1 is not a folder").arg(folder.filePath());
    }
    if (file.isDir()) {
        return QStringLiteral("it is a folder");
    }
    QString failed =
        writing ? QStringLiteral("it cannot be written") : QStringLiteral("it cannot be read");
    // A missing file is written by creating it in its folder.
    const QString target = file.exists() || !writing ? path : folder.filePath();
    if (::access(QFile::encodeName(target).constData(), writing ? W_OK : R_OK) != 0) {
        failed += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    return failed;
}

}  // namespace SettingsFile
