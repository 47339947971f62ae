#include "AppSettings.h"

#include <algorithm>

#include "SettingsStore.h"

namespace {
const QString kSection = QStringLiteral("Options");
const QString kAutoLogin = QStringLiteral("AutoLogin");
const QString kRefreshSec = QStringLiteral("RefreshSec");
const QString kShowSystem = QStringLiteral("ShowSystem");
const QString kCallTimeoutSec = QStringLiteral("CallTimeoutSec");
}  // namespace

AppSettings AppSettings::Load() {
    const SettingsStore::Snapshot store;
    const auto number = [&store](const QString& entry, int defaultValue, int maximum) {
        return std::clamp(store.GetProfileInt(kSection, entry, defaultValue), 0, maximum);
    };
    AppSettings settings;
    settings.AutoLogin = store.GetProfileInt(kSection, kAutoLogin, 0) != 0;
    settings.RefreshSec = number(kRefreshSec, 0, kMaxRefreshSec);
    settings.ShowSystem = store.GetProfileInt(kSection, kShowSystem, 0) != 0;
    settings.CallTimeoutSec = number(kCallTimeoutSec, kDefaultCallTimeoutSec, kMaxCallTimeoutSec);
    return settings;
}

void AppSettings::Save(const AppSettings& settings) {
    SettingsStore::WriteProfileValues(kSection, {{kShowSystem, settings.ShowSystem ? 1 : 0},
                                                 {kRefreshSec, settings.RefreshSec},
                                                 {kAutoLogin, settings.AutoLogin ? 1 : 0}});
}
