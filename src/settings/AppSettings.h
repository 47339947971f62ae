#pragma once
// The options in section "Options".

// Each number is held to its range when read, whatever another tool stored: the options
// dialog's slider for the refresh interval, an hour for a round trip to the server. A negative
// number reads as the default, so a negative call time limit never removes the limit.
inline constexpr int kMaxRefreshSec = 60;
inline constexpr int kMaxCallTimeoutSec = 3600;
inline constexpr int kDefaultCallTimeoutSec = 30;

struct AppSettings {
    bool AutoLogin = false;
    int RefreshSec = 0;  // seconds; 0 = no automatic refresh
    bool ShowSystem = false;
    // Whether a successful log-on keeps its password (in the keyring, or the file without one).
    bool RememberPassword = true;
    // Seconds a call to the server may take; 0 = no limit. Set in the file only: no dialog
    // shows it and Save leaves it as stored.
    int CallTimeoutSec = kDefaultCallTimeoutSec;

    static AppSettings Load();
    // Writes "ShowSystem", then "RefreshSec", then "AutoLogin", then "RememberPassword".
    static void Save(const AppSettings& settings);
};
