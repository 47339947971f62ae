#pragma once
// The message pane of the main window's status bar (the first pane).

#include <QString>

class QWidget;

// Sets the text of the message pane of widget's window and paints it at once, so it is on
// screen before the caller blocks; an empty text lets the pane show its idle text "Ready".
void SetStatusPaneText(QWidget* widget, const QString& text);
// The text the message pane shows now ("Ready" when idle).
QString StatusPaneText(QWidget* widget);
// Sets the pane of widget's window that says what the list holds.
void SetSessionPaneText(QWidget* widget, const QString& text);
QString SessionPaneText(QWidget* widget);
