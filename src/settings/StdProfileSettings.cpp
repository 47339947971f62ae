#include "StdProfileSettings.h"

#include "SettingsStore.h"

namespace {
const QString kRecentSection = QStringLiteral("Recent File List");
const QString kSettingsSection = QStringLiteral("Settings");
const QString kPreviewPages = QStringLiteral("PreviewPages");

QString fileEntry(int k) {
    return QStringLiteral("File%1").arg(k);
}
}  // namespace

void StdProfileSettings::Load(int maxFiles) {
    const SettingsStore::Snapshot store;
    m_recentFiles.clear();
    for (int k = 1; k <= maxFiles; ++k) {
        m_recentFiles << store.GetProfileString(kRecentSection, fileEntry(k));
    }
    m_previewPages = store.GetProfileInt(kSettingsSection, kPreviewPages, 0);
}

void StdProfileSettings::Save() const {
    SettingsStore::Values files;
    for (const QString& file : m_recentFiles) {
        if (!file.isEmpty()) {
            files.emplace_back(fileEntry(int(files.size()) + 1), file);
        }
    }
    SettingsStore::ReplaceSection(kRecentSection, files);
    if (m_previewPages != 0) {
        SettingsStore::WriteProfileInt(kSettingsSection, kPreviewPages, m_previewPages);
    }
}
