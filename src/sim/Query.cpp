#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

#include "OraText.h"
#include "Store.h"

namespace sim {

namespace {

// Functions a client statement may call: Oracle's, where SQLite has them with the same meaning.
constexpr std::string_view kClientFunctions[] = {
    "abs", "avg",         "coalesce", "count",     "instr",   "length", "lower", "ltrim",
    "max", "min",         "nullif",   "nvl",       "replace", "round",  "rtrim", "substr",
    "sum", "sys_context", "to_char",  "to_number", "trim",    "upper"};

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// "A.FOO" becomes "A"."FOO", as Oracle quotes each part of a name it cannot resolve.
OraError invalidIdentifier(std::string_view name) {
    std::string quoted;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = name.find('.', start);
        quoted += '"';
        quoted += name.substr(start, dot - start);
        quoted += '"';
        if (dot == std::string_view::npos)
            break;
        quoted += '.';
        start = dot + 1;
    }
    return {904, "ORA-00904: " + quoted + ": invalid identifier"};
}

Value cell(sqlite3_stmt* s, int i, bool isDate) {
    switch (sqlite3_column_type(s, i)) {
        case SQLITE_NULL:
            return std::nullopt;
        case SQLITE_INTEGER: {
            char digits[24];
            const auto end =
                std::to_chars(digits, digits + sizeof digits, sqlite3_column_int64(s, i));
            return std::string(digits, end.ptr);
        }
        case SQLITE_FLOAT:
            return numberText(sqlite3_column_double(s, i));
        case SQLITE_BLOB: {
            const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(s, i));
            static constexpr char kHex[] = "0123456789ABCDEF";
            std::string hex;
            for (int k = 0; k < sqlite3_column_bytes(s, i); ++k) {
                hex += kHex[bytes[k] >> 4];
                hex += kHex[bytes[k] & 15];
            }
            return hex;
        }
        default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
            const std::string_view value(text,
                                         static_cast<std::size_t>(sqlite3_column_bytes(s, i)));
            if (value.empty()) {
                return std::nullopt;  // Oracle keeps no empty strings
            }
            if (isDate) {
                if (const auto date = parseIsoDate(value))
                    return defaultDateText(*date);
            }
            return std::string(value);
        }
    }
}

}  // namespace

int Store::authorize(void* self, int action, const char* a, const char* b, const char* db,
                     const char* view) {
    Store& store = *static_cast<Store*>(self);
    if (!store.m_client) {
        return SQLITE_OK;
    }
    const ViewRights& rights = store.m_client->rights;
    switch (action) {
        case SQLITE_SELECT:
        case SQLITE_RECURSIVE:
            return SQLITE_OK;
        case SQLITE_READ: {
            // Names come as the statement spells them when no column is read.
            const std::string table = lowerCase(a ? a : ""), schema = lowerCase(db ? db : "");
            bool readable = (schema == "sys" && viewReadable(table, rights)) ||
                            ((schema == "main" || schema.empty()) && table == "dual");
            if (isBaseTable(table)) {
                // A view's rows; counting them names no column and no view.
                if (view) {
                    readable = viewReadable(view, rights);
                    store.m_throughView = store.m_throughView || readable;
                } else {
                    readable = store.m_throughView && b && *b == '\0';
                }
            }
            if (readable)
                return SQLITE_OK;
            store.m_denied = oraError(942);
            return SQLITE_DENY;
        }
        case SQLITE_FUNCTION: {
            const std::string name = lowerCase(b ? b : "");
            // A view's own functions are the instance's; clients create no views.
            if (view || std::find(std::begin(kClientFunctions), std::end(kClientFunctions), name) !=
                            std::end(kClientFunctions)) {
                return SQLITE_OK;
            }
            store.m_denied = invalidIdentifier(upperCase(name));
            return SQLITE_DENY;
        }
        default:
            store.m_denied = oraError(1031);
            return SQLITE_DENY;
    }
}

OraError Store::clientError(const std::string& message) const {
    if (!m_denied.ok() && !startsWith(message, "near ")) {
        return m_denied;
    }
    if (startsWith(message, "ORA-")) {
        return oraError(std::atoi(message.c_str() + 4));
    }
    for (std::string_view prefix : {"no such column: ", "no such function: "}) {
        if (startsWith(message, prefix))
            return invalidIdentifier(message.substr(prefix.size()));
    }
    if (startsWith(message, "no such table"))
        return oraError(942);
    if (startsWith(message, "wrong number of arguments"))
        return oraError(909);
    if (startsWith(message, "ambiguous column name"))
        return oraError(918);
    if (startsWith(message, "incomplete input"))
        return oraError(921);
    if (startsWith(message, "near \"FROM\""))
        return oraError(936);
    return oraError(933);
}

QueryResult Store::query(const std::string& sql, const ClientContext& client) {
    QueryResult result;
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    m_denied = {};
    m_throughView = false;
    m_client = &client;
    const int rc = sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &raw, &tail);
    const Prepared statement(raw);
    struct Finished {
        const ClientContext*& client;
        ~Finished() { client = nullptr; }
    } finished{m_client};
    if (rc != SQLITE_OK || !raw) {
        return QueryResult::failed(clientError(rc == SQLITE_OK ? "" : sqlite3_errmsg(m_db)));
    }
    if (tail && *tail) {
        return QueryResult::failed(oraError(933));
    }
    result.isQuery = true;
    result.columns = sqlite3_column_count(raw);
    std::vector<bool> isDate(static_cast<std::size_t>(result.columns));
    for (int i = 0; i < result.columns; ++i) {
        const char* type = sqlite3_column_decltype(raw, i);
        isDate[static_cast<std::size_t>(i)] = type && std::strcmp(type, "DATE") == 0;
    }
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
        Row& row = result.rows.emplace_back();
        row.reserve(static_cast<std::size_t>(result.columns));
        for (int i = 0; i < result.columns; ++i) {
            row.push_back(cell(raw, i, isDate[static_cast<std::size_t>(i)]));
        }
    }
    if (step != SQLITE_DONE) {
        result = QueryResult::failed(clientError(sqlite3_errmsg(m_db)));
    }
    return result;
}

}  // namespace sim
