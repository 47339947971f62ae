#pragma once
// How the active sessions are sampled into the local history, in section "Activity".

inline constexpr int kMaxSampleSec = 60;
inline constexpr int kMaxHistoryDays = 366;

struct ActivitySettings {
    // Whether the active sessions are sampled at all while logged on.
    bool Sample = true;
    // Seconds between two samples.
    int SampleSec = 1;
    // Days of samples the history keeps.
    int KeepDays = 7;

    // Each number held to its range; below 1 it reads as the default.
    static ActivitySettings Load();
    static void Save(const ActivitySettings& settings);
};
