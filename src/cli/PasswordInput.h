#pragma once
// Where nimbra-sessions takes a password from when the command line does not hold it, so that
// it never shows in `ps` or in the shell's history.

#include <cstdio>
#include <optional>
#include <string>

struct PasswordAnswer {
    enum Outcome { Typed, NoTerminal, EndOfInput };
    Outcome outcome = NoTerminal;
    std::string password;
};

// Asks on the controlling terminal with prompt and echo off, as SQL*Plus does. Echo is back on
// however the question ends, also when SIGINT, SIGQUIT or SIGTERM ends the program at it.
PasswordAnswer AskPasswordOnTerminal(const std::string& prompt);

// The first line of stream without its line break; none at the end of the input.
std::optional<std::string> ReadPasswordLine(std::FILE* stream);
