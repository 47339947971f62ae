#include "ListOptions.h"

#include <sstream>

#include "SessionStatements.h"

namespace {
std::string unknownColumn(const std::string& name) {
    return "there is no column \"" + name + "\"; the columns are " + ColumnNames() + ".";
}
}  // namespace

std::optional<std::vector<SessionColumnId>> ParseColumns(const std::string& names,
                                                         std::string& error) {
    std::vector<SessionColumnId> columns;
    std::stringstream list(names);
    for (std::string name; std::getline(list, name, ',');) {
        const SessionColumn* column = FindColumn(name);
        if (column == nullptr) {
            error = unknownColumn(name);
            return std::nullopt;
        }
        columns.push_back(column->id);
    }
    if (columns.empty()) {
        error = "--columns names no column.";
        return std::nullopt;
    }
    return columns;
}

std::optional<SortOrder> ParseSort(const std::string& text, std::string& error) {
    const std::size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    const std::string direction = colon == std::string::npos ? "" : text.substr(colon + 1);
    const SessionColumn* column = FindColumn(name);
    if (column == nullptr) {
        error = unknownColumn(name);
        return std::nullopt;
    }
    if (direction != "" && direction != "asc" && direction != "desc") {
        error = "--sort takes a column, then :asc or :desc, not \":" + direction + "\".";
        return std::nullopt;
    }
    return SortOrder{column->id, direction == "desc"};
}

std::string ColumnNames() {
    std::string names;
    for (const SessionColumn& column : SessionColumns()) {
        names += (names.empty() ? "" : ", ") + std::string(column.name);
    }
    return names;
}

std::optional<SessionKey> ParseSessionId(const std::string& text, std::string& error) {
    const std::size_t comma = text.find(',');
    const std::string sid = text.substr(0, comma);
    std::string serial = comma == std::string::npos ? "" : text.substr(comma + 1);
    std::string instance;
    const std::size_t at = serial.find(",@");
    if (at != std::string::npos) {
        instance = serial.substr(at + 2);
        serial.erase(at);
    }
    const bool instanceMissing = at != std::string::npos && instance.empty();
    if (instanceMissing || !IsSessionKey(sid, serial, instance)) {
        error =
            "a session is named by its SID and serial#, such as 12,345, and on a cluster "
            "its instance, such as 12,345,@2, not \"" +
            text + "\".";
        return std::nullopt;
    }
    return SessionKey{sid, serial, instance};
}
