#include "ActivitySettings.h"

#include "SettingsStore.h"

namespace {
const QString kSection = QStringLiteral("Activity");
const QString kSample = QStringLiteral("Sample");
const QString kSampleSec = QStringLiteral("SampleSec");
const QString kKeepDays = QStringLiteral("KeepDays");
}  // namespace

ActivitySettings ActivitySettings::Load() {
    const SettingsStore::Snapshot store;
    const ActivitySettings defaults;
    ActivitySettings settings;
    settings.Sample = store.GetProfileInt(kSection, kSample, 1) != 0;
    settings.SampleSec =
        store.GetProfileInt(kSection, kSampleSec, defaults.SampleSec, 1, kMaxSampleSec);
    settings.KeepDays =
        store.GetProfileInt(kSection, kKeepDays, defaults.KeepDays, 1, kMaxHistoryDays);
    return settings;
}

void ActivitySettings::Save(const ActivitySettings& settings) {
    SettingsStore::WriteProfileValues(kSection, {{kSample, settings.Sample ? 1 : 0},
                                                 {kSampleSec, settings.SampleSec},
                                                 {kKeepDays, settings.KeepDays}});
}
