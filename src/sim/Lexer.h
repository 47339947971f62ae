#pragma once
// Splits an Oracle SQL text into tokens the way the server's parser sees them.

#include <string>
#include <string_view>
#include <vector>

#include "Sim.h"

namespace sim {

enum class TokenType { Word, QuotedName, String, Number, Symbol };

struct Token {
    TokenType type;
    // Word: upper-cased as Oracle folds it; QuotedName and String: the content without quotes
    // and doubled quotes; Number and Symbol: as written.
    std::string text;

    bool is(TokenType t, std::string_view s) const { return type == t && text == s; }
    bool isWord(std::string_view s) const { return is(TokenType::Word, s); }
    bool isSymbol(std::string_view s) const { return is(TokenType::Symbol, s); }
};

// Fills tokens; fails with the error the server gives for a text it cannot read.
OraError lex(std::string_view sql, std::vector<Token>& tokens);

}  // namespace sim
