#include "LoginData.h"

#include "SettingsStore.h"

namespace {
const QString kSection = QStringLiteral("Connect");
const QString kUser = QStringLiteral("Usr");
const QString kPassword = QStringLiteral("Pwd");
const QString kHost = QStringLiteral("Srv");
}  // namespace

LoginData LoginData::Load() {
    LoginData data;
    data.UserName = SettingsStore::GetProfileString(kSection, kUser);
    data.Password = SettingsStore::GetProfileString(kSection, kPassword);
    data.HostString = SettingsStore::GetProfileString(kSection, kHost);
    return data;
}

void LoginData::Save(const LoginData& data) {
    SettingsStore::WriteProfileString(kSection, kUser, data.UserName);
    SettingsStore::WriteProfileString(kSection, kPassword, data.Password);
    SettingsStore::WriteProfileString(kSection, kHost, data.HostString);
}
