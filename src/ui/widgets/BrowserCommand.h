#pragma once
// The fallback when the desktop cannot open an address: the registered web-browser command, cut
// before its placeholder, with the address appended, started on its own.

#include <QString>

// $BROWSER's first entry, else the Exec line of the text/html handler; empty when none.
QString RegisteredBrowserCommand();

// The Exec value of a desktop entry file's [Desktop Entry] group; empty when it has none.
QString DesktopEntryExec(const QString& filePath);

// command ends before its first quoted placeholder ("%1", "%u", "%U", "%f", "%F" in quotes), else
// before its first bare one, else stays whole; then one space and the address.
QString BrowserCommandLine(const QString& command, const QString& address);

// Starts commandLine detached: OpenResult::Opened, or an error code of UrlLauncher.h.
int StartCommandLine(const QString& commandLine);

// firstResult when no browser command is registered, else the result of starting it.
int OpenWithBrowserCommand(const QString& address, int firstResult);
