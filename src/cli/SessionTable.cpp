#include "SessionTable.h"

#include <algorithm>

#include "DisplayWidth.h"
#include "TextTable.h"

namespace {
using Cells = std::vector<std::string>;

Cells headingsOf(const std::vector<SessionColumnId>& shown) {
    Cells cells;
    for (SessionColumnId id : shown) {
        cells.emplace_back(ColumnOf(id).heading);
    }
    return cells;
}

// Any client names its own program and machine: a value shown on a terminal keeps to its line
// and cannot steer the terminal.
Cells cellsOf(const SessionList& list, const SessionRow& row,
              const std::vector<SessionColumnId>& shown, bool forTerminal) {
    Cells cells;
    for (SessionColumnId id : shown) {
        std::string value = DisplayValue(ColumnOf(id), list.Value(row, id));
        cells.push_back(forTerminal ? ForTerminal(value) : std::move(value));
    }
    return cells;
}

}  // namespace

std::string FormatAligned(const SessionList& list, const std::vector<SessionColumnId>& shown) {
    std::vector<Cells> table = {headingsOf(shown)};
    for (const SessionRow& row : list.rows) {
        table.push_back(cellsOf(list, row, shown, true));
    }
    return FormatAlignedCells(table);
}

// Columns are padded by the width a terminal shows, not by bytes, so that names with accents or
// East Asian characters line up.
std::string FormatAlignedCells(const std::vector<std::vector<std::string>>& table) {
    std::vector<std::size_t> widths(table.empty() ? 0 : table.front().size());
    for (const Cells& cells : table) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            widths[c] = std::max(widths[c], DisplayWidth(cells[c]));
        }
    }
    std::string out;
    for (const Cells& cells : table) {
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            line += cells[c];
            if (c + 1 < cells.size()) {
                line.append(widths[c] - DisplayWidth(cells[c]) + 2, ' ');
            }
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out += line + "\n";
    }
    return out;
}

std::string FormatCsv(const SessionList& list, const std::vector<SessionColumnId>& shown,
                      Destination destination) {
    std::string out = CsvLine(headingsOf(shown));
    for (const SessionRow& row : list.rows) {
        out += CsvLine(cellsOf(list, row, shown, destination == Destination::Terminal));
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
