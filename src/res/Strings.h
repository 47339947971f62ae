#pragma once
// The program's own texts.

#include <QString>

namespace Strings {
inline const QString AppTitle = QStringLiteral("Nimbra");
inline const QString DescriptiveTitle = QStringLiteral("Nimbra - Oracle Sessions");
inline const QString Version = QStringLiteral("Version 1.2.0");
// The template string: the descriptive title, a line break, the version.
inline const QString TemplateString = DescriptiveTitle + QStringLiteral("\n") + Version;
inline const QString Ready = QStringLiteral("Ready");
inline const QString Collecting = QStringLiteral("Collection session information...");
inline const QString Copyright = QStringLiteral("\u00A9 2026 Velmoor");
inline const QString HomePage = QStringLiteral("https://nimbra.velmoor.example/");
inline const QString AuthorMail = QStringLiteral("mailto:nimbra@velmoor.example");
inline const QString VendorSite = QStringLiteral("https://www.oracle.com/database/");
}  // namespace Strings
