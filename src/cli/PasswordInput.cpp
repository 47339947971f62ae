#include "PasswordInput.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>

namespace {
std::string withoutLineBreak(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}
}  // namespace

std::optional<std::string> ReadPasswordLine(std::FILE* stream) {
    std::string line;
    int c = 0;
    while ((c = std::fgetc(stream)) != EOF) {
        line += static_cast<char>(c);
        if (c == '\n') {
            break;
        }
    }
    if (line.empty() && c == EOF) {
        return std::nullopt;
    }
    return withoutLineBreak(std::move(line));
}

std::optional<std::string> AskPasswordOnTerminal(const std::string& prompt) {
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) {
        return std::nullopt;
    }
    std::FILE* terminal = ::fdopen(tty, "r+");
    if (terminal == nullptr) {
        ::close(tty);
        return std::nullopt;
    }
    termios saved{};
    const bool canHide = ::tcgetattr(tty, &saved) == 0;
    if (canHide) {
        termios hidden = saved;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        hidden.c_lflag |= ECHONL;
        ::tcsetattr(tty, TCSAFLUSH, &hidden);
    }
    std::fputs(prompt.c_str(), terminal);
    std::fflush(terminal);
    std::optional<std::string> password = ReadPasswordLine(terminal);
    if (canHide) {
        ::tcsetattr(tty, TCSAFLUSH, &saved);
    }
    std::fclose(terminal);
    return password;
}
