#pragma once
// The data of one log-on, in section "Connect" ("Usr", "Pwd", "Srv").

#include <QString>

struct LoginData {
    QString UserName;
    QString Password;
    QString HostString;

    static LoginData Load();
    // Writes "Usr", then "Pwd", then "Srv".
    static void Save(const LoginData& data);
    // Whether a log-on was ever stored ("Usr" present, even empty).
    static bool IsStored();
};
