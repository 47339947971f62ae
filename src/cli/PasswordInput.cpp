#include "PasswordInput.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <iterator>

namespace {
constexpr int kEndingSignals[] = {SIGINT, SIGQUIT, SIGTERM};

// The terminal whose echo is off and its settings before, for the signal handler.
int g_terminal = -1;
termios g_saved{};

// Puts the terminal back and lets the signal end the program as it would have: the signal is
// blocked while this runs and its default action comes back with SA_RESETHAND.
void restoreAndEnd(int signal) {
    ::tcsetattr(g_terminal, TCSAFLUSH, &g_saved);
    [[maybe_unused]] const ssize_t written = ::write(g_terminal, "\n", 1);
    ::raise(signal);
}

// Turns echo off on the terminal for as long as it lives.
class HiddenInput {
public:
    explicit HiddenInput(int terminal) {
        if (::tcgetattr(terminal, &g_saved) != 0) {
            return;
        }
        g_terminal = terminal;
        struct sigaction action {};
        action.sa_handler = restoreAndEnd;
        action.sa_flags = SA_RESETHAND;
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            ::sigaction(kEndingSignals[i], &action, &m_previous[i]);
        }
        termios hidden = g_saved;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        hidden.c_lflag |= ECHONL;
        ::tcsetattr(terminal, TCSAFLUSH, &hidden);
    }
    ~HiddenInput() {
        if (g_terminal < 0) {
            return;
        }
        ::tcsetattr(g_terminal, TCSAFLUSH, &g_saved);
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            ::sigaction(kEndingSignals[i], &m_previous[i], nullptr);
        }
        g_terminal = -1;
    }
    HiddenInput(const HiddenInput&) = delete;
    HiddenInput& operator=(const HiddenInput&) = delete;

private:
    struct sigaction m_previous[std::size(kEndingSignals)]{};
};

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

PasswordAnswer AskPasswordOnTerminal(const std::string& prompt) {
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0) {
        return {};
    }
    std::FILE* terminal = ::fdopen(tty, "r+");
    if (terminal == nullptr) {
        ::close(tty);
        return {};
    }
    PasswordAnswer answer;
    {
        const HiddenInput hidden(tty);
        std::fputs(prompt.c_str(), terminal);
        std::fflush(terminal);
        std::optional<std::string> line = ReadPasswordLine(terminal);
        answer.outcome = line ? PasswordAnswer::Typed : PasswordAnswer::EndOfInput;
        answer.password = line.value_or(std::string());
        if (!line) {
            // Ctrl+D echoes no line break: what follows starts on a line of its own.
            std::fputs("\n", terminal);
            std::fflush(terminal);
        }
    }
    std::fclose(terminal);
    return answer;
}
