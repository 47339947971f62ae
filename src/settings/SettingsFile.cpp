#include "SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

QString obstructedFolder(const QString& path) {
    const QFileInfo folder(QFileInfo(path).absolutePath());
    return folder.exists() && !folder.isDir()
               ? QStringLiteral("%1 is not a folder").arg(folder.filePath())
               : QString();
}

QString withReason(const QString& failed) {
    return QStringLiteral("%1 (%2)").arg(failed, QString::fromLocal8Bit(std::strerror(errno)));
}

QString cannotBeRead() {
    return withReason(QStringLiteral("it cannot be read"));
}

// What the file is when it is not a regular file; empty when it is one.
QString otherKind(mode_t mode) {
    if (S_ISREG(mode)) {
        return {};
    }
    if (S_ISDIR(mode)) {
        return QStringLiteral("it is a folder");
    }
    const char* kind = S_ISFIFO(mode)                   ? "a named pipe"
                       : S_ISSOCK(mode)                 ? "a socket"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                                                        : "no regular file";
    return QStringLiteral("it is %1, not a file").arg(QLatin1String(kind));
}

// QSettings reads a NUL as the end of the file and turns bytes that are no UTF-8 into
// replacement characters, so its next rewrite would lose the rest.
bool isText(const QByteArray& contents) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder(contents);
    return !decoder.hasError() && !decoded.contains(QChar(0));
}

}  // namespace

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

QString ReadProblem(const QString& path) {
    if (QString problem = obstructedFolder(path); !problem.isEmpty()) {
        return problem;
    }
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) {
        return errno == ENOENT ? QString() : cannotBeRead();
    }
    if (QString kind = otherKind(info.st_mode); !kind.isEmpty()) {
        return kind;
    }
    // Without O_NONBLOCK, a named pipe put there meanwhile would wait for a writer for ever.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return errno == ENOENT ? QString() : cannotBeRead();
    }
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    QByteArray contents;
    char buffer[65536];
    ssize_t count = 0;
    while ((count = ::read(fd, buffer, sizeof buffer)) > 0 || (count < 0 && errno == EINTR)) {
        contents.append(buffer, std::max<ssize_t>(count, 0));
    }
    if (count < 0) {
        return cannotBeRead();
    }
    return isText(contents) ? QString() : QStringLiteral("its contents are not UTF-8 text");
}

QString WriteProblem(const QString& path) {
    if (QString problem = obstructedFolder(path); !problem.isEmpty()) {
        return problem;
    }
    const QFileInfo file(path);
    if (file.isDir()) {
        return QStringLiteral("it is a folder");
    }
    // A missing file is written by creating it in its folder.
    const QString target = file.exists() ? path : file.absolutePath();
    const QString failed = QStringLiteral("it cannot be written");
    return ::access(QFile::encodeName(target).constData(), W_OK) != 0 ? withReason(failed) : failed;
}

}  // namespace SettingsFile
