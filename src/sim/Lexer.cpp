#include "Lexer.h"

#include <cctype>

#include "OraText.h"

namespace sim {

namespace {

bool isWordStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '$' || c == '#';
}
bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Reads a quoted text starting at sql[i] (the opening quote); a doubled quote stands for one.
bool quoted(std::string_view sql, std::size_t& i, char quote, std::string& content) {
    for (++i; i < sql.size(); ++i) {
        if (sql[i] != quote) {
            content += sql[i];
        } else if (i + 1 < sql.size() && sql[i + 1] == quote) {
            content += quote;
            ++i;
        } else {
            ++i;
            return true;
        }
    }
    return false;
}

std::size_t numberEnd(std::string_view sql, std::size_t i) {
    while (i < sql.size() && isDigit(sql[i]))
        ++i;
    if (i < sql.size() && sql[i] == '.' && !(i + 1 < sql.size() && sql[i + 1] == '.')) {
        ++i;
        while (i < sql.size() && isDigit(sql[i]))
            ++i;
    }
    if (i + 1 < sql.size() && (sql[i] == 'e' || sql[i] == 'E')) {
        std::size_t j = i + 1;
        if (sql[j] == '+' || sql[j] == '-')
            ++j;
        if (j < sql.size() && isDigit(sql[j])) {
            i = j;
            while (i < sql.size() && isDigit(sql[i]))
                ++i;
        }
    }
    return i;
}

}  // namespace

OraError lex(std::string_view sql, std::vector<Token>& tokens) {
    static constexpr std::string_view kPairs[] = {"<=", ">=", "<>", "!=", "^=", "||"};
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (sql.substr(i, 2) == "--") {
            const std::size_t end = sql.find('\n', i);
            i = end == std::string_view::npos ? sql.size() : end;
        } else if (sql.substr(i, 2) == "/*") {
            const std::size_t end = sql.find("*/", i + 2);
            i = end == std::string_view::npos ? sql.size() : end + 2;
        } else if (isWordStart(c)) {
            std::size_t end = i;
            while (end < sql.size() && isWordChar(sql[end]))
                ++end;
            tokens.push_back({TokenType::Word, upperCase(sql.substr(i, end - i))});
            i = end;
        } else if (isDigit(c) || (c == '.' && i + 1 < sql.size() && isDigit(sql[i + 1]))) {
            const std::size_t end = numberEnd(sql, i);
            tokens.push_back({TokenType::Number, std::string(sql.substr(i, end - i))});
            i = end;
        } else if (c == '\'' || c == '"') {
            Token token{c == '\'' ? TokenType::String : TokenType::QuotedName, {}};
            if (!quoted(sql, i, c, token.text)) {
                return oraError(c == '\'' ? 1756 : 1740);
            }
            tokens.push_back(std::move(token));
        } else if (c == ':' && i + 1 < sql.size() &&
                   (isWordChar(sql[i + 1]) || sql[i + 1] == '"')) {
            return oraError(1008);
        } else {
            std::string_view symbol;
            for (std::string_view pair : kPairs) {
                if (sql.substr(i, 2) == pair)
                    symbol = pair;
            }
            if (symbol.empty()) {
                if (std::string_view("()*,.+-/=<>").find(c) == std::string_view::npos) {
                    return oraError(911);
                }
                symbol = sql.substr(i, 1);
            }
            tokens.push_back({TokenType::Symbol, std::string(symbol)});
            i += symbol.size();
        }
    }
    return {};
}

}  // namespace sim
