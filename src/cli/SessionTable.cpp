#include "SessionTable.h"

#include <algorithm>
#include <array>

#include "DisplayWidth.h"

namespace {
constexpr std::size_t kColumns = 7;
using Cells = std::array<std::string, kColumns>;

const Cells kHeadings = {"Username", "Sid", "Serial", "Status", "OS User", "Machine", "Program"};

Cells cellsOf(const SessionRow& r) {
    return {r.username, r.sid, r.serial, r.status, r.osUser, r.machine, r.program};
}

// Any client names its own program and machine: a value shown on a terminal keeps to its line
// and cannot steer the terminal.
Cells terminalCellsOf(const SessionRow& r) {
    Cells cells = cellsOf(r);
    for (std::string& cell : cells) {
        cell = ForTerminal(cell);
    }
    return cells;
}

std::string csvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) {
        return s;
    }
    std::string quoted = "\"";
    for (char c : s) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}
}  // namespace

// Columns are padded by the width a terminal shows, not by bytes, so that names with accents or
// East Asian characters line up.
std::string FormatAligned(const std::vector<SessionRow>& rows) {
    std::vector<Cells> table = {kHeadings};
    for (const SessionRow& row : rows) {
        table.push_back(terminalCellsOf(row));
    }
    std::array<std::size_t, kColumns> widths{};
    for (const Cells& cells : table) {
        for (std::size_t c = 0; c < kColumns; ++c) {
            widths[c] = std::max(widths[c], DisplayWidth(cells[c]));
        }
    }
    std::string out;
    for (const Cells& cells : table) {
        std::string line;
        for (std::size_t c = 0; c < kColumns; ++c) {
            line += cells[c];
            if (c + 1 < kColumns) {
                line.append(widths[c] - DisplayWidth(cells[c]) + 2, ' ');
            }
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + "\n";
    }
    return out;
}

std::string FormatCsv(const std::vector<SessionRow>& rows, Destination destination) {
    std::string out;
    const auto appendLine = [&](const Cells& cells) {
        for (std::size_t c = 0; c < kColumns; ++c) {
            out += csvField(cells[c]);
            out += c + 1 < kColumns ? "," : "\r\n";
        }
    };
    appendLine(kHeadings);
    for (const SessionRow& row : rows) {
        appendLine(destination == Destination::Terminal ? terminalCellsOf(row) : cellsOf(row));
    }
    return out;
}

LogonArgument ParseLogonArgument(const std::string& text) {
    LogonArgument result;
    std::string argument = text;
    result.mode = TakeConnectAsSuffix(argument).value_or(ConnectAs::Normal);
    const std::size_t slash = argument.find('/');
    const std::size_t at = argument.rfind('@');
    const std::size_t userEnd = std::min(slash, at);
    result.user = argument.substr(0, userEnd);
    if (slash != std::string::npos && (at == std::string::npos || slash < at)) {
        result.password = argument.substr(
            slash + 1, at == std::string::npos ? std::string::npos : at - slash - 1);
        result.hasPassword = true;
    }
    if (at != std::string::npos) {
        result.host = argument.substr(at + 1);
    }
    return result;
}
