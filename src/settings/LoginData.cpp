#include "LoginData.h"

#include "SettingsStore.h"

namespace {
const QString kSection = QStringLiteral("Connect");
const QString kUser = QStringLiteral("Usr");
const QString kPassword = QStringLiteral("Pwd");
const QString kHost = QStringLiteral("Srv");
const QString kMode = QStringLiteral("Mode");
}  // namespace

LoginData LoginData::Load() {
    const SettingsStore::Snapshot store;
    LoginData data;
    data.UserName = store.GetProfileString(kSection, kUser);
    data.Password = store.GetProfileString(kSection, kPassword);
    data.HostString = store.GetProfileString(kSection, kHost);
    data.Mode = ConnectAsNamed(store.GetProfileString(kSection, kMode).toStdString())
                    .value_or(ConnectAs::Normal);
    return data;
}

void LoginData::Save(const LoginData& data, bool withPassword) {
    SettingsStore::Values values = {
        {kUser, data.UserName},
        {kPassword, withPassword ? QVariant(data.Password) : QVariant()},
        {kHost, data.HostString}};
    // A file that never held an administrative log-on stays as it always was.
    if (data.Mode != ConnectAs::Normal ||
        SettingsStore::Snapshot().Entries(kSection).contains(kMode)) {
        values.push_back({kMode, QString(ConnectAsName(data.Mode))});
    }
    SettingsStore::WriteProfileValues(kSection, values);
}

bool LoginData::IsStored() {
    return SettingsStore::Snapshot().Entries(kSection).contains(kUser);
}
