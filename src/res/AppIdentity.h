#pragma once
// How the desktop knows the program: its icon and the name of its desktop entry.

#include <QIcon>
#include <QString>

// The application icon at every size it is drawn in, the same pictures the desktop entry shows.
QIcon AppIcon();
// The desktop entry's file name without ".desktop".
QString DesktopFileName();
