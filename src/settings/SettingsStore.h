#pragma once
// The per-user store of Nimbra's settings: the INI file Velmoor/Nimbra.conf in QSettings' user
// folder ($XDG_CONFIG_HOME), read and written by QSettings in the native format, in sections
// and value names of its own.
// Missing or unreadable values read as the caller's default; writes are flushed at once, and
// a write that changes no value leaves the file as it is (QSettings rewrites the whole file).
// Every call opens the file afresh, so QSettings::setPath(QSettings::NativeFormat,
// QSettings::UserScope, dir) moves the store for all later calls (tests do this per test).
// A file that cannot be read or written (not a regular file, not UTF-8 text, not INI) is
// reported once (ShowFailureMessage) and left as it is: from then on the store keeps what it
// has, and every later change, in memory.

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

class QSettings;

namespace SettingsStore {

// One reading of the store: the file is parsed once, when the snapshot is taken.
class Snapshot {
public:
    Snapshot();
    ~Snapshot();
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;

    // The one rule for every stored number: a whole decimal number, any number of digits
    // reading as the nearest int; above maximum it reads as maximum, below minimum (or no
    // number at all) as defaultValue.
    int GetProfileInt(const QString& section, const QString& entry, int defaultValue,
                      int minimum = std::numeric_limits<int>::min(),
                      int maximum = std::numeric_limits<int>::max()) const;
    QString GetProfileString(const QString& section, const QString& entry,
                             const QString& defaultValue = QString()) const;
    // The names of the values present in section.
    QStringList Entries(const QString& section) const;

private:
    QVariant Value(const QString& section, const QString& entry) const;

    std::unique_ptr<QSettings> m_file;  // null when the store is kept in memory
    QMap<QString, QVariant> m_kept;     // "Section/Entry" -> value, when in memory
};

// Each reads a snapshot of its own.
int GetProfileInt(const QString& section, const QString& entry, int defaultValue);
QString GetProfileString(const QString& section, const QString& entry,
                         const QString& defaultValue = QString());

// A value that is not valid (QVariant()) removes its entry.
using Values = std::vector<std::pair<QString, QVariant>>;
// All return whether the change reached the file; callers may ignore it.
bool WriteProfileInt(const QString& section, const QString& entry, int value);
bool WriteProfileString(const QString& section, const QString& entry, const QString& value);
// The values of one section, set in their order and written in one rewrite: all or none.
bool WriteProfileValues(const QString& section, const Values& values);
// Replaces the whole section by values (none: removes it) in one rewrite.
bool ReplaceSection(const QString& section, const Values& values);

// The file behind the store (created with owner-only permissions: it holds a password).
QString FilePath();

// At start-up: an existing file and its folder are closed to others, and a file that cannot
// be read is reported now. Creates nothing.
void SecureAtStartUp();

// For a run that stores nothing (the demo): from now on changes are kept in memory only, and
// the file is never written.
void KeepChangesInMemory();
// Whether this run chose to store nothing (KeepChangesInMemory), for stores beside the file.
bool StoresNothing();

}  // namespace SettingsStore
