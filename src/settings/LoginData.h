#pragma once
// The data of one log-on, in section "Connect" ("Usr", "Pwd", "Srv"). "Pwd" is there only where
// no keyring keeps the password (RememberedPassword.h).

#include <QString>

#include "ConnectAs.h"

struct LoginData {
    QString UserName;
    QString Password;
    QString HostString;
    // Stored as "Mode" by its name; Normal when absent or not a mode's name.
    ConnectAs Mode = ConnectAs::Normal;

    static LoginData Load();
    // Writes "Usr", then "Pwd", then "Srv", then "Mode"; without the password, "Pwd" is removed
    // instead.
    static void Save(const LoginData& data, bool withPassword = true);
    // Whether a log-on was ever stored ("Usr" present, even empty).
    static bool IsStored();
};
