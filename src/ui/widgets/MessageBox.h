#pragma once
// Every message box of Nimbra goes through here: caption "Nimbra", and the warning icon when the
// caller names none. Tests install a handler that records the text and answers.

#include <QString>
#include <functional>

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { Default, Warning, Information, Critical, Question };
// Which button Enter presses: the first, as the platform has it, or the second ("No" of Yes/No).
enum class MsgDefault { First, Second };

// Answers, numbered as the platform numbers them.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

int NimbraMessageBox(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                     MsgIcon icon = MsgIcon::Default, MsgDefault defaultButton = MsgDefault::First);

using MessageBoxHandler = std::function<int(const QString& text, MsgButtons buttons, MsgIcon icon)>;
// Replaces the modal box; an empty handler restores it.
void SetMessageBoxHandler(MessageBoxHandler handler);

// Shows the database layer's failure messages in boxes from now on.
void ShowFailuresInMessageBoxes();

// The exclamation beep that precedes some messages.
void MessageBeep();
