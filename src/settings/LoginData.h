#pragma once
// The data of one log-on, in section "Connect" ("Usr", "Pwd", "Srv"). "Pwd" is there only where
// no keyring keeps the password (RememberedPassword.h).

#include <QString>

struct LoginData {
    QString UserName;
    QString Password;
    QString HostString;

    static LoginData Load();
    // Writes "Usr", then "Pwd", then "Srv"; without the password, "Pwd" is removed instead.
    static void Save(const LoginData& data, bool withPassword = true);
    // Whether a log-on was ever stored ("Usr" present, even empty).
    static bool IsStored();
};
