#include "AppSettings.h"

#include "SettingsStore.h"

namespace {
const QString kSection = QStringLiteral("Options");
const QString kAutoLogin = QStringLiteral("AutoLogin");
const QString kRefreshSec = QStringLiteral("RefreshSec");
const QString kShowSystem = QStringLiteral("ShowSystem");
const QString kRememberPassword = QStringLiteral("RememberPassword");
const QString kCallTimeoutSec = QStringLiteral("CallTimeoutSec");
}  // namespace

AppSettings AppSettings::Load() {
    const SettingsStore::Snapshot store;
    AppSettings settings;
    settings.AutoLogin = store.GetProfileInt(kSection, kAutoLogin, 0) != 0;
    settings.RefreshSec = store.GetProfileInt(kSection, kRefreshSec, 0, 0, kMaxRefreshSec);
    settings.ShowSystem = store.GetProfileInt(kSection, kShowSystem, 0) != 0;
    settings.RememberPassword = store.GetProfileInt(kSection, kRememberPassword, 1) != 0;
    settings.CallTimeoutSec = store.GetProfileInt(kSection, kCallTimeoutSec, kDefaultCallTimeoutSec,
                                                  0, kMaxCallTimeoutSec);
    return settings;
}

void AppSettings::Save(const AppSettings& settings) {
    SettingsStore::WriteProfileValues(kSection,
                                      {{kShowSystem, settings.ShowSystem ? 1 : 0},
                                       {kRefreshSec, settings.RefreshSec},
                                       {kAutoLogin, settings.AutoLogin ? 1 : 0},
                                       {kRememberPassword, settings.RememberPassword ? 1 : 0}});
}
