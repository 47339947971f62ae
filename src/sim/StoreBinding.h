#pragma once
// Binding values to the store's own statements, shared by the files that make up Store.

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>

#include "OraText.h"
#include "Store.h"

namespace sim {

inline void bind(sqlite3_stmt* s, int i, int v) {
    sqlite3_bind_int(s, i, v);
}
inline void bind(sqlite3_stmt* s, int i, std::int64_t v) {
    sqlite3_bind_int64(s, i, v);
}
inline void bind(sqlite3_stmt* s, int i, const std::string& v) {
    sqlite3_bind_text(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
}
template <typename T>
void bind(sqlite3_stmt* s, int i, const std::optional<T>& v) {
    if (v) {
        bind(s, i, *v);
    } else {
        sqlite3_bind_null(s, i);
    }
}

template <typename... Values>
void Store::run(const Prepared& statement, const Values&... values) {
    int i = 0;
    (bind(statement.get(), ++i, values), ...);
    run(statement);
}

// TADDR of a session's transaction, and SADDR of the session.
std::string transactionAddress(int sid);
std::string sessionAddress(int sid);

}  // namespace sim
