#include "ServerHistory.h"

#include "SettingsStore.h"

namespace {
const QString kSection = QStringLiteral("ServerList");
const QString kCount = QStringLiteral("Items");

QString entryName(int k) {
    return QStringLiteral("Item%1").arg(k);
}

int storedCount() {
    return SettingsStore::GetProfileInt(kSection, kCount, 0);
}
}  // namespace

namespace ServerHistory {

QStringList Load() {
    QStringList hosts;
    const int count = storedCount();
    for (int k = 1; k <= count; ++k) {
        hosts << SettingsStore::GetProfileString(kSection, entryName(k));
    }
    return hosts;
}

bool Remember(const QString& host) {
    const int count = storedCount();
    for (int k = 1; k <= count; ++k) {
        // QString's == compares code units: exact and case-sensitive.
        if (SettingsStore::GetProfileString(kSection, entryName(k)) == host) {
            return false;
        }
    }
    // The count first: an interrupted append leaves an empty entry rather than a lost one.
    SettingsStore::WriteProfileInt(kSection, kCount, count + 1);
    SettingsStore::WriteProfileString(kSection, entryName(count + 1), host);
    return true;
}

}  // namespace ServerHistory
