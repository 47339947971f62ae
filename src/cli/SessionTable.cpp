#include "SessionTable.h"

#include <algorithm>
#include <array>

namespace {
constexpr std::size_t kColumns = 7;
using Cells = std::array<std::string, kColumns>;

const Cells kHeadings = {"Username", "Sid", "Serial", "Status", "OS User", "Machine", "Program"};

Cells cellsOf(const SessionRow& r) {
    return {r.username, r.sid, r.serial, r.status, r.osUser, r.machine, r.program};
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

std::string FormatAligned(const std::vector<SessionRow>& rows) {
    std::array<std::size_t, kColumns> widths{};
    for (std::size_t c = 0; c < kColumns; ++c) {
        widths[c] = kHeadings[c].size();
    }
    for (const SessionRow& row : rows) {
        const Cells cells = cellsOf(row);
        for (std::size_t c = 0; c < kColumns; ++c) {
            widths[c] = std::max(widths[c], cells[c].size());
        }
    }
    std::string out;
    const auto appendLine = [&](const Cells& cells) {
        std::string line;
        for (std::size_t c = 0; c < kColumns; ++c) {
            line += cells[c];
            if (c + 1 < kColumns) {
                line.append(widths[c] - cells[c].size() + 2, ' ');
            }
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + "\n";
    };
    appendLine(kHeadings);
    for (const SessionRow& row : rows) {
        appendLine(cellsOf(row));
    }
    return out;
}

std::string FormatCsv(const std::vector<SessionRow>& rows) {
    std::string out;
    const auto appendLine = [&](const Cells& cells) {
        for (std::size_t c = 0; c < kColumns; ++c) {
            out += csvField(cells[c]);
            out += c + 1 < kColumns ? "," : "\r\n";
        }
    };
    appendLine(kHeadings);
    for (const SessionRow& row : rows) {
        appendLine(cellsOf(row));
    }
    return out;
}

LogonArgument ParseLogonArgument(const std::string& argument) {
    LogonArgument result;
    const std::size_t slash = argument.find('/');
    const std::size_t at = argument.rfind('@');
    const std::size_t userEnd = std::min(slash, at);
    result.user = argument.substr(0, userEnd);
    if (slash != std::string::npos && (at == std::string::npos || slash < at)) {
        result.password = argument.substr(
            slash + 1, at == std::string::npos ? std::string::npos : at - slash - 1);
    }
    if (at != std::string::npos) {
        result.host = argument.substr(at + 1);
    }
    return result;
}
