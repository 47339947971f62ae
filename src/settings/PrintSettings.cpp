#include "PrintSettings.h"

#include "SettingsStore.h"

namespace {
const QString kSection = QStringLiteral("Print");
const QString kPrinter = QStringLiteral("Printer");
const QString kToFile = QStringLiteral("ToFile");
const QString kFile = QStringLiteral("File");
}  // namespace

PrintSettings PrintSettings::Load() {
    const SettingsStore::Snapshot store;
    PrintSettings settings;
    settings.Printer = store.GetProfileString(kSection, kPrinter);
    settings.ToFile = store.GetProfileInt(kSection, kToFile, 0) != 0;
    settings.File = store.GetProfileString(kSection, kFile);
    return settings;
}

void PrintSettings::Save(const PrintSettings& settings) {
    SettingsStore::WriteProfileValues(
        kSection,
        {{kPrinter, settings.Printer}, {kToFile, settings.ToFile ? 1 : 0}, {kFile, settings.File}});
}
