#include "Translate.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "Lexer.h"
#include "OraText.h"
#include "SessionColumns.h"

namespace sim {

namespace {

using Tokens = std::vector<Token>;
using Words = std::initializer_list<std::string_view>;

bool isOneOf(const Token& t, Words words) {
    return t.type == TokenType::Word &&
           std::find(words.begin(), words.end(), t.text) != words.end();
}

bool isComparison(const Token& t) {
    return t.type == TokenType::Symbol &&
           (t.text == "=" || t.text == "<>" || t.text == "!=" || t.text == "^=" || t.text == "<" ||
            t.text == ">" || t.text == "<=" || t.text == ">=");
}

bool isNumber(const Token& t) {
    return t.type == TokenType::Word && isNumberColumn(t.text);
}

Statement failed(OraError error) {
    Statement s;
    s.kind = Statement::Kind::Error;
    s.error = std::move(error);
    return s;
}

Statement failure(int code) {
    return failed(oraError(code));
}

OraError missingKeyword(const char* words) {
    return {2000, std::string("ORA-02000: missing ") + words + " keyword"};
}

// The views are reachable only through schema SYS, and only when the user may read them.
OraError checkNames(const Tokens& t, ViewRights rights, bool& namesView) {
    for (std::size_t i = 0; i < t.size(); ++i) {
        const bool afterDot = i >= 1 && t[i - 1].isSymbol(".");
        const bool inSys = afterDot && i >= 2 && t[i - 2].isWord("SYS");
        const bool viewName = t[i].type == TokenType::Word && t[i].text.rfind("V_$", 0) == 0;
        if (inSys && !(t.size() > i + 1 && t[i + 1].isSymbol("."))) {
            namesView = true;
            if (!viewReadable(t[i].text, rights))
                return oraError(942);
        } else if (viewName && !afterDot) {
            return oraError(942);
        }
    }
    return {};
}

bool isNumericColumnAt(const Tokens& t, std::size_t j) {
    if (j + 2 < t.size() && t[j + 1].isSymbol("."))
        j += 2;
    return j < t.size() && isNumber(t[j]) && !(j + 1 < t.size() && t[j + 1].isSymbol("."));
}

// A quoted literal compared with a NUMBER column is converted to a number.
bool comparedWithNumber(const Tokens& t, std::size_t i) {
    return (i >= 2 && isComparison(t[i - 1]) && isNumber(t[i - 2])) ||
           (i + 2 < t.size() && isComparison(t[i + 1]) && isNumericColumnAt(t, i + 2));
}

void quote(std::string& out, const std::string& text, char q) {
    out += q;
    for (char c : text) {
        out += c;
        if (c == q)
            out += q;
    }
    out += q;
}

// A name as the store reads it: quoted when Oracle allows characters there that SQLite does not.
std::string nameText(const Token& token) {
    std::string text;
    if (token.type == TokenType::QuotedName ||
        token.text.find_first_of("$#") != std::string::npos) {
        quote(text, token.text, '"');
    } else {
        text = token.text;
    }
    return text;
}

// The key that ends an outer ORDER BY over a single table or view so that rows with equal keys
// come in session-id order: a table's row id, or the session view's SID, qualified because a
// column alias could take its name. nullopt when the query has no single source.
std::optional<std::string> tieBreak(const Tokens& t) {
    if (t[0].isWord("WITH"))
        return std::nullopt;
    int depth = 0;
    std::size_t from = 0;
    bool inFromList = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        depth += t[i].isSymbol("(") ? 1 : t[i].isSymbol(")") ? -1 : 0;
        if (depth != 0)
            continue;
        if (isOneOf(t[i], {"UNION", "INTERSECT", "MINUS", "EXCEPT", "DISTINCT", "UNIQUE", "GROUP",
                           "JOIN"})) {
            return std::nullopt;
        }
        if (from == 0 && t[i].isWord("FROM")) {
            from = i + 1;
            inFromList = true;
        } else if (isOneOf(t[i], {"WHERE", "ORDER", "HAVING", "CONNECT", "START"})) {
            inFromList = false;
        } else if (inFromList && t[i].isSymbol(",")) {
            return std::nullopt;
        }
    }
    if (from == 0 || from >= t.size() || t[from].type != TokenType::Word)
        return std::nullopt;
    std::size_t name = from + 2 < t.size() && t[from + 1].isSymbol(".") ? from + 2 : from;
    const bool cluster = t[name].isWord("GV_$SESSION");
    if (!t[name].isWord("V_$SESSION") && !cluster)
        return t[name].text.find('$') == std::string::npos ? std::optional<std::string>("ROWID")
                                                           : std::nullopt;
    std::size_t alias = name + 1;
    alias += alias < t.size() && t[alias].isWord("AS") ? 1 : 0;
    const bool aliased =
        alias < t.size() &&
        (t[alias].type == TokenType::QuotedName ||
         (t[alias].type == TokenType::Word &&
          !isOneOf(t[alias], {"WHERE", "ORDER", "HAVING", "CONNECT", "START", "FOR", "SAMPLE"})));
    const std::string source = aliased ? nameText(t[alias]) : nameText(t[name]);
    return cluster ? source + ".INST_ID, " + source + ".SID" : source + ".SID";
}

class Rewriter {
public:
    explicit Rewriter(const Tokens& t) : m_t(t) {}

    OraError run(const std::optional<std::string>& tieBreak) {
        for (std::size_t i = 0; i < m_t.size(); ++i) {
            const Token& token = m_t[i];
            const bool orderHere = !m_order.empty() && m_order.back().depth == m_depth;
            if (token.isSymbol(")")) {
                if (orderHere) {
                    closeOrderItem();
                    m_order.pop_back();
                }
                --m_depth;
            } else if (token.isSymbol(",") && orderHere) {
                closeOrderItem();
            }
            if (token.type == TokenType::String && !token.text.empty() &&
                comparedWithNumber(m_t, i)) {
                const auto number = numericLiteral(token.text);
                if (!number)
                    return oraError(1722);
                emit(*number);
                continue;
            }
            trackOrder(i);
            write(token);
            if (token.isSymbol("("))
                ++m_depth;
        }
        while (!m_order.empty()) {
            const bool outer = m_order.back().depth == 0;
            closeOrderItem();
            m_order.pop_back();
            if (outer && tieBreak)
                emit(", " + *tieBreak);
        }
        return {};
    }

    std::string text() && { return std::move(m_out); }

private:
    struct OrderBy {
        int depth;
        bool desc = false;
        bool nulls = false;
    };

    void trackOrder(std::size_t i) {
        if (m_t[i].isWord("ORDER") && i + 1 < m_t.size() && m_t[i + 1].isWord("BY")) {
            m_order.push_back({m_depth});
        } else if (!m_order.empty() && m_order.back().depth == m_depth) {
            if (m_t[i].isWord("DESC"))
                m_order.back().desc = true;
            if (m_t[i].isWord("ASC"))
                m_order.back().desc = false;
            if (m_t[i].isWord("NULLS"))
                m_order.back().nulls = true;
        }
    }

    // Oracle sorts NULL as the largest value; SQLite as the smallest.
    void closeOrderItem() {
        OrderBy& item = m_order.back();
        if (!item.nulls)
            emit(item.desc ? "NULLS FIRST" : "NULLS LAST");
        item.desc = item.nulls = false;
    }

    void write(const Token& token) {
        std::string text;
        switch (token.type) {
            case TokenType::Word:
            case TokenType::QuotedName:
                text = token.isWord("MINUS") ? "EXCEPT" : nameText(token);
                break;
            case TokenType::String:
                if (token.text.empty()) {
                    text = "NULL";  // Oracle's empty string is NULL
                } else {
                    quote(text, token.text, '\'');
                }
                break;
            case TokenType::Number:
                text = token.text;
                break;
            case TokenType::Symbol:
                // Oracle divides exactly, SQLite integers by integer division.
                text = token.text == "^=" ? "<>" : token.text == "/" ? "* 1.0 /" : token.text;
                break;
        }
        emit(text);
    }

    void emit(const std::string& text) {
        if (!m_out.empty() && text.front() != ',')
            m_out += ' ';
        m_out += text;
    }

    const Tokens& m_t;
    std::string m_out;
    int m_depth = 0;
    std::vector<OrderBy> m_order;
};

Statement query(const Tokens& t, ViewRights rights) {
    bool namesView = false;
    if (OraError e = checkNames(t, rights, namesView); !e.ok()) {
        return failed(e);
    }
    int depth = 0;
    bool from = false;
    for (const Token& token : t) {
        depth += token.isSymbol("(") ? 1 : token.isSymbol(")") ? -1 : 0;
        from = from || (depth == 0 && token.isWord("FROM"));
        if (isOneOf(token, {"LIMIT", "GLOB", "REGEXP", "MATCH", "ISNULL", "NOTNULL", "COLLATE",
                            "INDEXED", "PRAGMA"})) {
            return failure(933);
        }
    }
    if (!from)
        return failure(923);
    Rewriter rewriter(t);
    if (OraError e = rewriter.run(tieBreak(t)); !e.ok()) {
        return failed(e);
    }
    Statement s;
    s.kind = Statement::Kind::Query;
    s.sqlite = std::move(rewriter).text();
    s.countsSessions = t.size() >= 9 && t[1].isWord("COUNT") && t[2].isSymbol("(") &&
                       t[3].isSymbol("*") && t[4].isSymbol(")") && t[5].isWord("FROM") &&
                       t[6].isWord("SYS") && t[7].isSymbol(".") && t[8].isWord("V_$SESSION") &&
                       (t.size() == 9 || t[9].isWord("WHERE"));
    return s;
}

bool isDigits(const std::string& s) {
    return !s.empty() && s.size() <= 9 &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isSqlId(const std::string& s) {
    return s.size() == 13 && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z');
           });
}

// "sid, serial" with blanks allowed around the numbers, optionally ", @instance"; CANCEL SQL
// may name the statement last.
std::optional<KillTarget> sessionId(const std::string& text, bool withSqlId) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == ',') {
            parts.emplace_back();
        } else if (c != ' ') {
            parts.back() += c;
        }
    }
    if (parts.size() < 2 || parts.size() > (withSqlId ? 4u : 3u) || !isDigits(parts[0]) ||
        !isDigits(parts[1])) {
        return std::nullopt;
    }
    KillTarget target{std::stoi(parts[0]), std::stoi(parts[1]), std::nullopt, {}};
    for (std::size_t i = 2; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        if (i == 2 && part.size() > 1 && part[0] == '@' && isDigits(part.substr(1))) {
            target.instance = std::stoi(part.substr(1));
        } else if (withSqlId && i + 1 == parts.size() && isSqlId(part)) {
            target.sqlId = part;
        } else {
            return std::nullopt;
        }
    }
    return target;
}

// ALTER SYSTEM KILL SESSION '...' [IMMEDIATE | NOREPLAY]
// ALTER SYSTEM DISCONNECT SESSION '...' {POST_TRANSACTION | IMMEDIATE | both}
// ALTER SYSTEM CANCEL SQL '...'
Statement alter(const Tokens& t) {
    if (t.size() < 2 || !t[1].isWord("SYSTEM"))
        return failure(940);
    const bool kill = t.size() >= 4 && t[2].isWord("KILL") && t[3].isWord("SESSION");
    const bool disconnect = t.size() >= 4 && t[2].isWord("DISCONNECT") && t[3].isWord("SESSION");
    const bool cancel = t.size() >= 4 && t[2].isWord("CANCEL") && t[3].isWord("SQL");
    if (!kill && !disconnect && !cancel)
        return failure(2065);
    Statement s;
    s.kind = Statement::Kind::Kill;
    s.how = cancel ? EndSession::CancelSql : kill ? EndSession::Kill : EndSession::DisconnectNow;
    if (t.size() < 5 || t[4].type != TokenType::String)
        return s;
    std::size_t end = 5;
    bool postTransaction = false, immediate = false;
    if (disconnect && end < t.size() && t[end].isWord("POST_TRANSACTION")) {
        postTransaction = true;
        ++end;
    }
    if (!cancel && end < t.size() && isOneOf(t[end], {"IMMEDIATE", "NOREPLAY"})) {
        immediate = t[end].isWord("IMMEDIATE");
        ++end;
    }
    if (t.size() > end)
        return failure(933);
    if (disconnect && !postTransaction && !immediate)
        return failed(missingKeyword("POST_TRANSACTION or IMMEDIATE"));
    if (kill && immediate)
        s.how = EndSession::KillImmediate;
    if (postTransaction)
        s.how = EndSession::DisconnectAfterWork;
    s.target = sessionId(t[4].text, cancel);
    // DISCONNECT reaches only the sessions of the instance it runs on.
    if (disconnect && s.target && s.target->instance)
        s.target.reset();
    return s;
}

// SELECT {plan_table_output | *} FROM TABLE([SYS.]DBMS_XPLAN.DISPLAY_CURSOR('sql_id'[, child
// [, 'format']])); nullopt for any other statement.
std::optional<Statement> planQuery(const Tokens& t) {
    std::size_t i = 0;
    const auto next = [&](auto test) { return i < t.size() && test(t[i]) ? (++i, true) : false; };
    const auto word = [&](std::string_view w) {
        return next([w](const Token& k) { return k.isWord(w); });
    };
    const auto symbol = [&](std::string_view s) {
        return next([s](const Token& k) { return k.isSymbol(s); });
    };
    if (!word("SELECT") || !(word("PLAN_TABLE_OUTPUT") || symbol("*")) || !word("FROM") ||
        !word("TABLE") || !symbol("("))
        return std::nullopt;
    if (word("SYS") && !symbol("."))
        return std::nullopt;
    if (!word("DBMS_XPLAN") || !symbol(".") || !word("DISPLAY_CURSOR") || !symbol("("))
        return std::nullopt;
    Statement s;
    s.kind = Statement::Kind::Plan;
    if (i < t.size() && t[i].type == TokenType::String)
        s.planSqlId = t[i++].text;
    if (symbol(",")) {
        if (i >= t.size() || (t[i].type != TokenType::Number && t[i].type != TokenType::String) ||
            !isDigits(t[i].text))
            return failure(1722);
        s.planChild = std::stoi(t[i++].text);
    }
    if (symbol(",") && !next([](const Token& k) { return k.type == TokenType::String; }))
        return failure(936);
    if (!symbol(")") || !symbol(")"))
        return failure(907);
    return i == t.size() ? s : failure(933);
}

}  // namespace

bool viewReadable(std::string_view name, const ViewRights& rights) {
    const std::string view = lowerCase(name);
    if (view == "v_$session")
        return rights.session;
    if (view == "v_$sqltext")
        return rights.sqlText;
    return rights.catalog &&
           (view == "gv_$session" || view == "gv_$sqltext" || view == "v_$transaction" ||
            view == "gv_$transaction" || view == "gv_$instance" || view == "v_$containers" ||
            view == "v_$session_longops" || view == "gv_$session_longops" ||
            view == "v_$database" || view == "v_$parameter" || view == "v_$osstat");
}

bool isBaseTable(std::string_view name) {
    const std::string table = lowerCase(name);
    return table == "x$ksuse" || table == "x$kglna" || table == "x$ktcxb" || table == "x$con" ||
           table == "x$ksulop";
}

Statement translate(std::string_view sql, ViewRights rights) {
    Tokens t;
    if (OraError e = lex(sql, t); !e.ok())
        return failed(e);
    if (t.empty())
        return failure(900);
    if (std::optional<Statement> plan = planQuery(t))
        return *plan;
    if (isOneOf(t[0], {"SELECT", "WITH"}))
        return query(t, rights);
    if (t[0].isWord("ALTER"))
        return alter(t);
    if (isOneOf(t[0], {"COMMIT", "ROLLBACK"})) {
        Statement s;
        s.kind = Statement::Kind::NoOp;
        return s;
    }
    if (isOneOf(t[0], {"INSERT", "UPDATE", "DELETE", "MERGE"})) {
        bool namesView = false;
        const OraError e = checkNames(t, rights, namesView);
        return failure(!e.ok() || !namesView ? 942 : 2030);
    }
    if (isOneOf(t[0], {"CREATE", "DROP", "TRUNCATE", "GRANT", "REVOKE", "RENAME", "COMMENT",
                       "AUDIT", "NOAUDIT", "ANALYZE", "LOCK", "FLASHBACK", "PURGE"})) {
        return failure(1031);
    }
    return failure(900);
}

}  // namespace sim
