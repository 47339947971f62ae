#include "ServerHistory.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "SettingsStore.h"

namespace {
const QString kSection = QStringLiteral("ServerList");
const QString kCount = QStringLiteral("Items");

QString entryName(int k) {
    return QStringLiteral("Item%1").arg(k);
}

QString modeName(int k) {
    return QStringLiteral("Mode%1").arg(k);
}

// k of a value named "Item<k>" (k from 1, without leading zeros); 0 for any other name.
int entryNumber(const QString& name) {
    bool ok = false;
    const int k = name.startsWith(QStringLiteral("Item")) ? name.mid(4).toInt(&ok, 10) : 0;
    return ok && k > 0 && entryName(k) == name ? k : 0;
}

struct StoredHistory {
    QStringList hosts;
    std::vector<int> numbers;  // each host's k
    int lastEntry = 0;         // the number of the last entry; the next one follows it

    // The k of host's entry; 0 for none.
    int numberOf(const QString& host) const {
        const qsizetype at = hosts.indexOf(host);
        return at < 0 || numbers[std::size_t(at)] == 0 ? 0 : numbers[std::size_t(at)];
    }
};

// One reading of the file. "Items" is trusted only as far as entries exist: the history ends
// at the last entry present, and a run of missing entries reads as one empty text, so a count
// of two thousand million costs no more than the entries that are there.
StoredHistory readHistory() {
    const SettingsStore::Snapshot store;
    const int count = store.GetProfileInt(kSection, kCount, 0, 0);
    std::vector<int> present;
    for (const QString& name : store.Entries(kSection)) {
        if (const int k = entryNumber(name); k > 0 && k <= count) {
            present.push_back(k);
        }
    }
    std::sort(present.begin(), present.end());
    StoredHistory history;
    for (const int k : present) {
        if (k > history.lastEntry + 1) {
            history.hosts << QString();
            history.numbers.push_back(0);
        }
        history.hosts << store.GetProfileString(kSection, entryName(k));
        history.numbers.push_back(k);
        history.lastEntry = k;
    }
    return history;
}
}  // namespace

namespace ServerHistory {

QStringList Load() {
    return readHistory().hosts;
}

bool Remember(const QString& host) {
    const StoredHistory history = readHistory();
    // QString's == compares code units: exact and case-sensitive. No number is left after the
    // largest one.
    if (history.hosts.contains(host) || history.lastEntry == std::numeric_limits<int>::max()) {
        return false;
    }
    const int k = history.lastEntry + 1;
    SettingsStore::WriteProfileValues(kSection, {{kCount, k}, {entryName(k), host}});
    return true;
}

// An entry that never had an administrative log-on keeps the section as it always was.
void RememberMode(const QString& host, ConnectAs mode) {
    const int k = readHistory().numberOf(host);
    if (k > 0 && (mode != ConnectAs::Normal ||
                  SettingsStore::Snapshot().Entries(kSection).contains(modeName(k)))) {
        SettingsStore::WriteProfileString(kSection, modeName(k), ConnectAsName(mode));
    }
}

std::optional<ConnectAs> ModeOf(const QString& host) {
    const int k = readHistory().numberOf(host);
    if (k == 0) {
        return std::nullopt;
    }
    return ConnectAsNamed(SettingsStore::GetProfileString(kSection, modeName(k)).toStdString());
}

}  // namespace ServerHistory
