#include "SettingsStore.h"

#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <limits>
#include <optional>

#include "ErrorReport.h"
#include "SettingsFile.h"

namespace {

// What the store knows of the file it uses: once it proved unusable, or once the run chose to
// store nothing, the values kept in its place for the rest of the run.
struct StoreState {
    QString path;
    bool inMemory = false;
    bool storesNothing = false;
    QMap<QString, QVariant> kept;  // "Section/Entry" -> value
};

// A new location (tests move it) starts afresh.
StoreState& stateOf(const QString& path) {
    static StoreState state;
    if (state.path != path) {
        state = StoreState{.path = path, .inMemory = false, .storesNothing = false, .kept = {}};
    }
    return state;
}

QString keyOf(const QString& section, const QString& entry) {
    return section + QLatin1Char('/') + entry;
}

// A stored number: an optional sign and decimal digits. Digits beyond any int read as the
// nearest int, so that 2147483648 means what 2147483647 means. Anything else is no number.
std::optional<int> storedNumber(const QVariant& value) {
    const QString text =
        value.typeId() == QMetaType::QStringList ? QString() : value.toString().trimmed();
    const bool negative = text.startsWith(QLatin1Char('-'));
    const qsizetype first = negative || text.startsWith(QLatin1Char('+')) ? 1 : 0;
    if (first == text.size()) {
        return std::nullopt;
    }
    constexpr qint64 beyondAnyInt = qint64(std::numeric_limits<int>::max()) + 2;
    qint64 magnitude = 0;
    for (const QChar digit : QStringView(text).sliced(first)) {
        if (digit < QLatin1Char('0') || digit > QLatin1Char('9')) {
            return std::nullopt;
        }
        magnitude = std::min(magnitude * 10 + (digit.unicode() - '0'), beyondAnyInt);
    }
    return int(std::clamp(negative ? -magnitude : magnitude,
                          qint64(std::numeric_limits<int>::min()),
                          qint64(std::numeric_limits<int>::max())));
}

// Whether a stored value already says what would be written: the same number as read, or the
// same text.
bool holds(const QVariant& stored, const QVariant& wanted) {
    if (!wanted.isValid()) {
        return !stored.isValid();
    }
    if (wanted.typeId() == QMetaType::Int) {
        return storedNumber(stored) == wanted.toInt();
    }
    return stored.isValid() && stored.typeId() != QMetaType::QStringList &&
           stored.toString() == wanted.toString();
}

// From now on the store works in memory, on what could be read of the file; a problem, when
// there is one, is told once.
void keepInMemory(StoreState& state, const QSettings* store, const QString& problem) {
    state.inMemory = true;
    for (const QString& key : store ? store->allKeys() : QStringList()) {
        state.kept.insert(key, store->value(key));
    }
    if (problem.isEmpty()) {
        return;
    }
    ShowFailureMessage(QStringLiteral("Nimbra cannot use its settings file %1: %2.\n"
                                      "It goes on with the settings it has; changes you make now "
                                      "are kept only until it ends.")
                           .arg(state.path, problem)
                           .toStdString());
}

// The file, opened by its name alone: opened by organisation and application, QSettings would
// also read the organisation's file and the system's, and wait forever on a named pipe among
// them. Null when the store works in memory or the file proves unusable now.
std::unique_ptr<QSettings> openFile(StoreState& state) {
    if (state.inMemory) {
        return nullptr;
    }
    QString problem = SettingsFile::ReadProblem(state.path);
    std::unique_ptr<QSettings> store;
    if (problem.isEmpty()) {
        store = std::make_unique<QSettings>(state.path, QSettings::NativeFormat);
        // Sections are parsed when first asked for; only then does a line QSettings cannot
        // read show in its status.
        store->allKeys();
        if (store->status() == QSettings::FormatError) {
            problem = QStringLiteral("its contents are not in the INI format");
        } else if (store->status() != QSettings::NoError) {
            problem = QStringLiteral("it cannot be read");
        }
    }
    if (problem.isEmpty()) {
        return store;
    }
    keepInMemory(state, store.get(), problem);
    return nullptr;
}

// One change of one section: its values set, after removing the section first when asked.
struct Change {
    const QString& section;
    const SettingsStore::Values& values;
    bool replace;

    bool ChangesAnything(const QSettings& store) const {
        const QString prefix = keyOf(section, QString());
        const QStringList keys = store.allKeys();
        const auto present = std::count_if(keys.begin(), keys.end(), [&prefix](const QString& key) {
            return key.startsWith(prefix);
        });
        return (replace && std::size_t(present) != values.size()) ||
               std::any_of(values.begin(), values.end(), [&](const auto& value) {
                   return !holds(store.value(keyOf(section, value.first)), value.second);
               });
    }

    void ApplyTo(QSettings& store) const {
        if (replace) {
            store.remove(section);
        }
        store.beginGroup(section);
        for (const auto& [entry, value] : values) {
            if (value.isValid()) {
                store.setValue(entry, value);
            } else {
                store.remove(entry);
            }
        }
        store.endGroup();
    }

    void ApplyTo(QMap<QString, QVariant>& kept) const {
        const QString prefix = keyOf(section, QString());
        for (auto it = kept.lowerBound(prefix);
             replace && it != kept.end() && it.key().startsWith(prefix);) {
            it = kept.erase(it);
        }
        for (const auto& [entry, value] : values) {
            if (value.isValid()) {
                kept.insert(keyOf(section, entry), value);
            } else {
                kept.remove(keyOf(section, entry));
            }
        }
    }
};

bool write(const Change& change) {
    StoreState& state = stateOf(SettingsStore::FilePath());
    if (const std::unique_ptr<QSettings> store = openFile(state)) {
        // QSettings rewrites the whole file, dropping its comments: not for nothing new.
        if (!change.ChangesAnything(*store)) {
            return true;
        }
        if (SettingsFile::MakePrivate(state.path)) {
            change.ApplyTo(*store);
            store->sync();
            if (store->status() == QSettings::NoError) {
                return true;
            }
        }
        keepInMemory(state, store.get(), SettingsFile::WriteProblem(state.path));
    }
    change.ApplyTo(state.kept);
    return false;
}

}  // namespace

namespace SettingsStore {

Snapshot::Snapshot() {
    StoreState& state = stateOf(FilePath());
    m_file = openFile(state);
    if (!m_file) {
        m_kept = state.kept;
    }
}

Snapshot::~Snapshot() = default;

QVariant Snapshot::Value(const QString& section, const QString& entry) const {
    const QString key = keyOf(section, entry);
    return m_file ? m_file->value(key) : m_kept.value(key);
}

int Snapshot::GetProfileInt(const QString& section, const QString& entry, int defaultValue,
                            int minimum, int maximum) const {
    const std::optional<int> number = storedNumber(Value(section, entry));
    return number && *number >= minimum ? std::min(*number, maximum) : defaultValue;
}

QString Snapshot::GetProfileString(const QString& section, const QString& entry,
                                   const QString& defaultValue) const {
    const QVariant value = Value(section, entry);
    // Unquoted commas in a hand-edited file make a list, which is no readable text.
    if (!value.isValid() || value.typeId() == QMetaType::QStringList) {
        return defaultValue;
    }
    return value.toString();
}

QStringList Snapshot::Entries(const QString& section) const {
    if (m_file) {
        m_file->beginGroup(section);
        const QStringList names = m_file->childKeys();
        m_file->endGroup();
        return names;
    }
    QStringList names;
    const QString prefix = keyOf(section, QString());
    for (auto it = m_kept.lowerBound(prefix); it != m_kept.end() && it.key().startsWith(prefix);
         ++it) {
        names << it.key().mid(prefix.size());
    }
    return names;
}

int GetProfileInt(const QString& section, const QString& entry, int defaultValue) {
    return Snapshot().GetProfileInt(section, entry, defaultValue);
}

QString GetProfileString(const QString& section, const QString& entry,
                         const QString& defaultValue) {
    return Snapshot().GetProfileString(section, entry, defaultValue);
}

bool WriteProfileInt(const QString& section, const QString& entry, int value) {
    return WriteProfileValues(section, {{entry, value}});
}

bool WriteProfileString(const QString& section, const QString& entry, const QString& value) {
    return WriteProfileValues(section, {{entry, value}});
}

bool WriteProfileValues(const QString& section, const Values& values) {
    return write({section, values, false});
}

bool ReplaceSection(const QString& section, const Values& values) {
    return write({section, values, true});
}

QString FilePath() {
    // QSettings tells the folder that setPath chose only through a store's file name; a store
    // under a name no file has tells it without reading any file there is.
    const QString none = QStringLiteral("\x01");
    const QSettings probe(QSettings::NativeFormat, QSettings::UserScope, none, none);
    return QFileInfo(QFileInfo(probe.fileName()).path()).path() +
           QStringLiteral("/Velmoor/Nimbra.conf");
}

void SecureAtStartUp() {
    const QString path = FilePath();
    SettingsFile::CloseToOthers(QFileInfo(path).absolutePath(), true);
    SettingsFile::CloseToOthers(path, false);
    const Snapshot probe;
}

void KeepChangesInMemory() {
    StoreState& state = stateOf(FilePath());
    state.storesNothing = true;
    if (const std::unique_ptr<QSettings> store = openFile(state)) {
        keepInMemory(state, store.get(), QString());
    }
}

bool StoresNothing() {
    return stateOf(FilePath()).storesNothing;
}

}  // namespace SettingsStore
