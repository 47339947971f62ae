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
    m_recentFiles.clear();
    for (int k = 1; k <= maxFiles; ++k) {
        m_recentFiles << SettingsStore::GetProfileString(kRecentSection, fileEntry(k));
    }
    m_previewPages = SettingsStore::GetProfileInt(kSettingsSection, kPreviewPages, 0);
}

void StdProfileSettings::Save() const {
    SettingsStore::DeleteSection(kRecentSection);
    int k = 0;
    for (const QString& file : m_recentFiles) {
        if (!file.isEmpty()) {
            SettingsStore::WriteProfileString(kRecentSection, fileEntry(++k), file);
        }
    }
    if (m_previewPages != 0) {
        SettingsStore::WriteProfileInt(kSettingsSection, kPreviewPages, m_previewPages);
    }
}
