#include "TextTable.h"

#include <algorithm>

namespace {
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

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += (i == 0 ? "" : ",") + csvField(fields[i]);
    }
    return line + "\r\n";
}

std::string TsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string field = fields[i];
        std::replace_if(
            field.begin(), field.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; },
            ' ');
        line += (i == 0 ? "" : "\t") + field;
    }
    return line + "\n";
}
