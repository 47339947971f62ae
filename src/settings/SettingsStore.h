#pragma once
// The per-user store of Nimbra's settings: QSettings("Velmoor", "Nimbra") in the native format,
// an INI file at $XDG_CONFIG_HOME/Velmoor/Nimbra.conf, in sections and value names of its own.
// Missing or unreadable values read as the caller's default; writes are flushed at once.
// Every call opens the file afresh, so QSettings::setPath(QSettings::NativeFormat,
// QSettings::UserScope, dir) moves the store for all later calls (tests do this per test).

#include <QString>

namespace SettingsStore {

int GetProfileInt(const QString& section, const QString& entry, int defaultValue);
QString GetProfileString(const QString& section, const QString& entry,
                         const QString& defaultValue = QString());
// All three return whether the change reached the file; callers may ignore it.
bool WriteProfileInt(const QString& section, const QString& entry, int value);
bool WriteProfileString(const QString& section, const QString& entry, const QString& value);
bool DeleteSection(const QString& section);

// The file behind the store (created with owner-only permissions: it holds a password).
QString FilePath();

}  // namespace SettingsStore
