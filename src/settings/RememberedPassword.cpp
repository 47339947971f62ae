#include "RememberedPassword.h"

#include <cstdio>

#include "AppSettings.h"
#include "Keyring.h"
#include "SecretWipe.h"
#include "SettingsStore.h"

namespace {
const QString kMoved =
    QStringLiteral("The password of %1 was moved from the settings file to the keyring.");
const QString kStaysInFile = QStringLiteral(
    "The password of %1 stays in the settings file because the keyring did not accept it.");
const QString kNoKeyring =
    QStringLiteral("The password is kept in the settings file because no keyring is available.");
const QString kNotStored =
    QStringLiteral("The password of %1 was not stored because the keyring did not accept it.");

NoticeSink g_sink;
// The settings file the lack of a keyring was told for: once per run, and tests move the file.
QString g_noKeyringToldFor;

void notify(const QString& text) {
    if (g_sink) {
        g_sink(text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
}

void tellNoKeyring() {
    const QString path = SettingsStore::FilePath();
    if (g_noKeyringToldFor != path) {
        g_noKeyringToldFor = path;
        notify(kNoKeyring);
    }
}

QString entryOf(const LoginData& data) {
    return Keyring::EntryName(data.UserName, data.HostString);
}

bool remembersPasswords() {
    return AppSettings::Load().RememberPassword;
}
}  // namespace

void SetPasswordNoticeSink(NoticeSink sink) {
    g_sink = std::move(sink);
}

void MovePasswordToKeyring() {
    if (SettingsStore::StoresNothing() || !remembersPasswords()) {
        return;
    }
    LoginData stored = LoginData::Load();
    if (stored.Password.isEmpty()) {
        return;
    }
    switch (Keyring::Write(stored.UserName, stored.HostString, stored.Password)) {
        case Keyring::Answer::Done:
            LoginData::Save(stored, false);
            notify(kMoved.arg(entryOf(stored)));
            break;
        case Keyring::Answer::Unreachable:
            tellNoKeyring();
            break;
        default:
            notify(kStaysInFile.arg(entryOf(stored)));
            break;
    }
    WipeSecret(stored.Password);
}

QString RememberedPassword(const LoginData& stored) {
    if (!remembersPasswords()) {
        return QString();
    }
    // A password in the file is one no keyring took; the demo's is in memory.
    if (!stored.Password.isEmpty() || SettingsStore::StoresNothing()) {
        return stored.Password;
    }
    return KeyringPassword(stored);
}

QString KeyringPassword(const LoginData& stored) {
    if (!remembersPasswords() || SettingsStore::StoresNothing() || stored.UserName.isEmpty() ||
        !stored.Password.isEmpty()) {
        return QString();
    }
    return Keyring::Read(stored.UserName, stored.HostString).password;
}

void RememberLogOn(const LoginData& data) {
    if (SettingsStore::StoresNothing() || !remembersPasswords() || data.Password.isEmpty()) {
        LoginData::Save(data, SettingsStore::StoresNothing() && remembersPasswords());
        return;
    }
    switch (Keyring::Write(data.UserName, data.HostString, data.Password)) {
        case Keyring::Answer::Done:
            LoginData::Save(data, false);
            break;
        case Keyring::Answer::Unreachable:
            LoginData::Save(data, true);
            tellNoKeyring();
            break;
        default: {
            // A password the file still holds for this very log-on waits there for its move;
            // any other would be taken for this log-on's at the next start.
            LoginData stored = LoginData::Load();
            const bool stillToMove = stored.UserName == data.UserName &&
                                     stored.HostString == data.HostString &&
                                     stored.Password == data.Password;
            WipeSecret(stored.Password);
            LoginData::Save(data, stillToMove);
            notify(kNotStored.arg(entryOf(data)));
            break;
        }
    }
}

void ForgetPassword() {
    if (!LoginData::IsStored()) {
        return;
    }
    LoginData stored = LoginData::Load();
    LoginData::Save(stored, false);
    if (!SettingsStore::StoresNothing() && !stored.UserName.isEmpty()) {
        Keyring::Remove(stored.UserName, stored.HostString);
    }
    WipeSecret(stored.Password);
}
