#pragma once
// UTF-8 texts as a terminal shows them: how many columns they take (wide East Asian characters
// two, combining marks none, everything else one), and without control characters.

#include <string>

std::size_t DisplayWidth(const std::string& utf8);

// The text with nothing a terminal would act on: tabs and line breaks become blanks, every other
// C0 control, DEL and every C1 control (also as a stray byte) a '?', so that an escape sequence
// shows as text instead of steering the terminal.
std::string ForTerminal(const std::string& utf8);
