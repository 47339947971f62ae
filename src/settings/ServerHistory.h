#pragma once
// The remembered host strings, oldest first, in section "ServerList" ("Items", "Item1", ...).

#include <QStringList>
#include <optional>

#include "ConnectAs.h"

namespace ServerHistory {

// The entries in stored order, as far as "Items" counts and entries are present; a run of
// missing entries reads as one empty text at its place.
QStringList Load();
// Appends host unless an entry is byte-for-byte equal; true when it was appended (to the file,
// or to the values kept in memory when the file cannot be written).
bool Remember(const QString& host);
// The privilege of the last log-on to an entry's host string, as "Mode<k>" beside its "Item<k>";
// readers of the entries alone never see it. Nothing for a host without an entry.
void RememberMode(const QString& host, ConnectAs mode);
// None when no log-on to host was remembered with its privilege.
std::optional<ConnectAs> ModeOf(const QString& host);

}  // namespace ServerHistory
