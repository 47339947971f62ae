#pragma once
// The three options in section "Options".

struct AppSettings {
    bool AutoLogin = false;
    int RefreshSec = 0;  // seconds; 0 = no automatic refresh
    bool ShowSystem = false;

    static AppSettings Load();
    // Writes "ShowSystem", then "RefreshSec", then "AutoLogin".
    static void Save(const AppSettings& settings);
};
