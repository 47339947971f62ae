#include "LoginData.h"

#include "SettingsStore.h"

namespace {
const QString kSection = QStringLiteral("Connect");
const QString kUser = QStringLiteral("Usr");
const QString kPassword = QStringLiteral("Pwd");
const QString kHost = QStringLiteral("Srv");
}  // namespace

LoginData LoginData::Load() {
    const SettingsStore::Snapshot store;
    LoginData data;
    data.UserName = store.GetProfileString(kSection, kUser);
    data.Password = store.GetProfileString(kSection, kPassword);
    data.HostString = store.GetProfileString(kSection, kHost);
    return data;
}

void LoginData::Save(const LoginData& data, bool withPassword) {
    SettingsStore::WriteProfileValues(
        kSection, {{kUser, data.UserName},
                   {kPassword, withPassword ? QVariant(data.Password) : QVariant()},
                   {kHost, data.HostString}});
}

bool LoginData::IsStored() {
    return SettingsStore::Snapshot().Entries(kSection).contains(kUser);
}
