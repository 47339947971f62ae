#include "AppSettings.h"

#include "SettingsStore.h"

namespace {
const QString kSection = QStringLiteral("Options");
const QString kAutoLogin = QStringLiteral("AutoLogin");
const QString kRefreshSec = QStringLiteral("RefreshSec");
const QString kShowSystem = QStringLiteral("ShowSystem");
}  // namespace

AppSettings AppSettings::Load() {
    AppSettings settings;
    settings.AutoLogin = SettingsStore::GetProfileInt(kSection, kAutoLogin, 0) != 0;
    settings.RefreshSec = SettingsStore::GetProfileInt(kSection, kRefreshSec, 0);
    settings.ShowSystem = SettingsStore::GetProfileInt(kSection, kShowSystem, 0) != 0;
    return settings;
}

void AppSettings::Save(const AppSettings& settings) {
    SettingsStore::WriteProfileInt(kSection, kShowSystem, settings.ShowSystem ? 1 : 0);
    SettingsStore::WriteProfileInt(kSection, kRefreshSec, settings.RefreshSec);
    SettingsStore::WriteProfileInt(kSection, kAutoLogin, settings.AutoLogin ? 1 : 0);
}
