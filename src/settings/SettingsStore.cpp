#include "SettingsStore.h"

#include <QFileInfo>
#include <QSettings>

#include "ErrorReport.h"
#include "SettingsFile.h"

namespace {

// Opens the store the way every operation sees it: the current user's file only, no fallbacks.
class OpenStore : public QSettings {
public:
    OpenStore() : QSettings(QSettings::NativeFormat, QSettings::UserScope, "Velmoor", "Nimbra") {
        setFallbacksEnabled(false);
    }
};

// What the store knows of the file it uses: once it proved unusable, the values kept in its
// place for the rest of the run.
struct StoreState {
    QString path;
    bool unusable = false;
    QMap<QString, QVariant> kept;  // "Section/Entry" -> value
};

// A new location (tests move it) starts afresh.
StoreState& stateOf(const QString& path) {
    static StoreState state;
    if (state.path != path) {
        state = StoreState{.path = path, .unusable = false, .kept = {}};
    }
    return state;
}

QString keyOf(const QString& section, const QString& entry) {
    return section + QLatin1Char('/') + entry;
}

// Why the open store cannot be read; empty when it can (a missing file reads as empty).
QString readProblem(const QSettings& store) {
    const QFileInfo folder(QFileInfo(store.fileName()).absolutePath());
    const bool obstructed =
        store.status() == QSettings::AccessError || (folder.exists() && !folder.isDir());
    return obstructed ? SettingsFile::WhatFailed(store.fileName(), false) : QString();
}

// Says once why the file cannot be used and keeps what could be read of it in memory.
void keepInMemory(StoreState& state, const QSettings& store, const QString& problem) {
    state.unusable = true;
    for (const QString& key : store.allKeys()) {
        state.kept.insert(key, store.value(key));
    }
    ShowFailureMessage(QStringLiteral("Nimbra cannot use its settings file %1: %2.\n"
                                      "It goes on with the settings it has; changes you make now "
                                      "are kept only until it ends.")
                           .arg(state.path, problem)
                           .toStdString());
}

// One change of one section: its values set, after removing the section first when asked.
struct Change {
    const QString& section;
    const SettingsStore::Values& values;
    bool replace;

    void ApplyTo(QSettings& store) const {
        if (replace) {
            store.remove(section);
        }
        store.beginGroup(section);
        for (const auto& [entry, value] : values) {
            store.setValue(entry, value);
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
            kept.insert(keyOf(section, entry), value);
        }
    }
};

bool write(const Change& change) {
    OpenStore store;
    StoreState& state = stateOf(store.fileName());
    if (!state.unusable) {
        // A file that could not be read is never overwritten with the little that is known.
        QString problem = readProblem(store);
        if (problem.isEmpty()) {
            // Removing what is not there must not bring an empty settings file into being.
            if (change.values.empty() && !store.childGroups().contains(change.section)) {
                return true;
            }
            if (SettingsFile::MakePrivate(state.path)) {
                change.ApplyTo(store);
                store.sync();
                if (store.status() == QSettings::NoError) {
                    return true;
                }
            }
            problem = SettingsFile::WhatFailed(state.path, true);
        }
        keepInMemory(state, store, problem);
    }
    change.ApplyTo(state.kept);
    return false;
}

}  // namespace

namespace SettingsStore {

Snapshot::Snapshot() : m_file(std::make_unique<OpenStore>()) {
    StoreState& state = stateOf(m_file->fileName());
    if (!state.unusable) {
        if (const QString problem = readProblem(*m_file); !problem.isEmpty()) {
            keepInMemory(state, *m_file, problem);
        }
    }
    if (state.unusable) {
        m_kept = state.kept;
        m_file.reset();
    }
}

Snapshot::~Snapshot() = default;

QVariant Snapshot::Value(const QString& section, const QString& entry) const {
    const QString key = keyOf(section, entry);
    return m_file ? m_file->value(key) : m_kept.value(key);
}

int Snapshot::GetProfileInt(const QString& section, const QString& entry, int defaultValue) const {
    bool ok = false;
    const int number = Value(section, entry).toString().toInt(&ok, 10);
    return ok ? number : defaultValue;
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
    return OpenStore().fileName();
}

void SecureAtStartUp() {
    const QString path = FilePath();
    SettingsFile::CloseToOthers(QFileInfo(path).absolutePath(), true);
    SettingsFile::CloseToOthers(path, false);
    const Snapshot probe;
}

}  // namespace SettingsStore
