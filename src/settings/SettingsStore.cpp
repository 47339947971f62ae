#include "SettingsStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QVariant>

namespace {

// Opens the store the way every operation sees it: the current user's file only, no fallbacks.
class OpenStore : public QSettings {
public:
    OpenStore() : QSettings(QSettings::NativeFormat, QSettings::UserScope, "Velmoor", "Nimbra") {
        setFallbacksEnabled(false);
    }
};

// Creates the file owner-only before QSettings writes it, since QSettings would create it with
// the umask's permissions and its atomic rewrites copy the permissions they find.
bool makePrivate(const QString& path) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CREAT | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    // A file left readable by others (by another tool or an older version) is closed up too.
    const bool ok = ::fstat(fd, &info) == 0 && ((info.st_mode & (S_IRWXG | S_IRWXO)) == 0 ||
                                                ::fchmod(fd, info.st_mode & S_IRWXU) == 0);
    ::close(fd);
    return ok;
}

template <typename Change>
bool writeFlushed(Change change) {
    OpenStore store;
    if (!makePrivate(store.fileName())) {
        return false;
    }
    change(store);
    store.sync();
    return store.status() == QSettings::NoError;
}

bool writeValue(const QString& section, const QString& entry, const QVariant& value) {
    return writeFlushed([&](QSettings& store) {
        store.beginGroup(section);
        store.setValue(entry, value);
        store.endGroup();
    });
}

QVariant readValue(const QString& section, const QString& entry) {
    OpenStore store;
    store.beginGroup(section);
    return store.value(entry);
}

}  // namespace

namespace SettingsStore {

int GetProfileInt(const QString& section, const QString& entry, int defaultValue) {
    bool ok = false;
    const int number = readValue(section, entry).toString().toInt(&ok, 10);
    return ok ? number : defaultValue;
}

QString GetProfileString(const QString& section, const QString& entry,
                         const QString& defaultValue) {
    const QVariant value = readValue(section, entry);
    // Unquoted commas in a hand-edited file make a list, which is no readable text.
    if (!value.isValid() || value.typeId() == QMetaType::QStringList) {
        return defaultValue;
    }
    return value.toString();
}

bool WriteProfileInt(const QString& section, const QString& entry, int value) {
    return writeValue(section, entry, value);
}

bool WriteProfileString(const QString& section, const QString& entry, const QString& value) {
    return writeValue(section, entry, value);
}

bool DeleteSection(const QString& section) {
    // Removing what is not there must not bring an empty settings file into being.
    if (!OpenStore().childGroups().contains(section)) {
        return true;
    }
    return writeFlushed([&](QSettings& store) { store.remove(section); });
}

QString FilePath() {
    return OpenStore().fileName();
}

}  // namespace SettingsStore
