#pragma once
// The remembered host strings, oldest first, in section "ServerList" ("Items", "Item1", ...).

#include <QStringList>

namespace ServerHistory {

// Entries 1 to Items in stored order; a missing entry is an empty text at its place.
QStringList Load();
// Appends host unless an entry is byte-for-byte equal; true when it was appended.
bool Remember(const QString& host);

}  // namespace ServerHistory
