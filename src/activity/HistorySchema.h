#pragma once
// The history file's tables by schema version, kept in PRAGMA user_version.

// The version this Nimbra writes; a file of a later one belongs to a newer Nimbra.
inline constexpr int kHistorySchemaVersion = 2;

// The statements that bring a file of version v to v + 1, for v from 0 (an empty file).
const char* HistoryMigration(int fromVersion);
