#include "SessionActions.h"

#include <QString>

#include "SessionStatements.h"

std::optional<SessionKey> SelectedSessionKey(const SessionListPort& port) {
    const int item = port.FirstSelectedItem();
    if (item < 0) {
        return std::nullopt;
    }
    SessionKey key{port.GetItemText(item, 1).toStdString(),
                   port.GetItemText(item, 2).toStdString()};
    if (!IsSessionKey(key.sid, key.serial)) {
        return std::nullopt;
    }
    return key;
}

bool KillSelectedSession(SessionListPort& port, RefreshCycle& cycle,
                         const std::function<bool()>& confirmed) {
    const std::optional<SessionKey> key = SelectedSessionKey(port);
    if (!key || !confirmed()) {
        return false;
    }
    port.BeginWaitCursor();
    KillSession(key->sid, key->serial);
    cycle.RefreshList();
    port.EndWaitCursor();
    return true;
}

void ReadSessionDetails(const SessionKey& key, SessionDetails& details) {
    QuerySessionDetails(key.sid, key.serial, details);
    QuerySqlText(key.sid, key.serial, details);
}
