#pragma once
// The settings file on disk, beside QSettings: its permissions, and why it cannot be used.

#include <QString>

namespace SettingsFile {

// Drops the group's and others' permissions of path when it is an existing folder (folder true)
// or regular file; anything else is left alone. False when the permissions could not be set.
bool CloseToOthers(const QString& path, bool folder);

// Makes the file's folder owner-only, creating it so when missing, and the file itself, creating
// it empty when missing: QSettings would create both with the umask's permissions, and its
// atomic rewrites copy the permissions they find.
bool MakePrivate(const QString& path);

// What stands in the way of reading the file, in a few words ("it is a named pipe, not a
// file", "its contents are not UTF-8 text"); empty when it can be read or is missing. Never
// waits: a named pipe or a device is refused before anything is read from it.
QString ReadProblem(const QString& path);

// What stands in the way of writing the file, in a few words: "/home/u/.config/Velmoor is not
// a folder", "it is a folder", "it cannot be written (Permission denied)".
QString WriteProblem(const QString& path);

}  // namespace SettingsFile
