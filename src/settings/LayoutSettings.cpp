#include "LayoutSettings.h"

#include "SettingsStore.h"

namespace {
const QString kSection = QStringLiteral("Layout");
const QString kHeader = QStringLiteral("Header");
const QString kHeaderColumns = QStringLiteral("HeaderColumns");
const QString kShown = QStringLiteral("Shown");
const QString kSort = QStringLiteral("Sort");
const QString kHideIdle = QStringLiteral("HideIdle");
const QString kGeometry = QStringLiteral("Geometry");
const QString kWindowState = QStringLiteral("WindowState");
const QString kStatusBar = QStringLiteral("StatusBar");

QByteArray bytesOf(const QString& base64) {
    return QByteArray::fromBase64(base64.toLatin1());
}

QString textOf(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toBase64());
}

QStringList listOf(const QString& text) {
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char(' '));
}
}  // namespace

LayoutSettings LayoutSettings::Load() {
    const SettingsStore::Snapshot store;
    LayoutSettings layout;
    layout.Header = bytesOf(store.GetProfileString(kSection, kHeader));
    layout.HeaderColumns = listOf(store.GetProfileString(kSection, kHeaderColumns));
    layout.Shown = listOf(store.GetProfileString(kSection, kShown));
    layout.Sort = store.GetProfileString(kSection, kSort);
    layout.HideIdle = store.GetProfileInt(kSection, kHideIdle, 0) != 0;
    layout.Geometry = bytesOf(store.GetProfileString(kSection, kGeometry));
    layout.WindowState = bytesOf(store.GetProfileString(kSection, kWindowState));
    layout.StatusBar = store.GetProfileInt(kSection, kStatusBar, 1) != 0;
    return layout;
}

void LayoutSettings::Save(const LayoutSettings& layout) {
    SettingsStore::WriteProfileValues(kSection, {{kHeader, textOf(layout.Header)},
                                                 {kHeaderColumns, layout.HeaderColumns.join(' ')},
                                                 {kShown, layout.Shown.join(' ')},
                                                 {kSort, layout.Sort},
                                                 {kHideIdle, layout.HideIdle ? 1 : 0},
                                                 {kGeometry, textOf(layout.Geometry)},
                                                 {kWindowState, textOf(layout.WindowState)},
                                                 {kStatusBar, layout.StatusBar ? 1 : 0}});
}
