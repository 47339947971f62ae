#include "TableProbes.h"

#include "OracleCursor.h"

int CountRows(const std::string& table, const std::string& condition) {
    OracleCursor cursor;
    OpenCursor(cursor);
    std::string sql = "SELECT count(*) FROM " + table;
    if (!condition.empty()) {
        sql += " WHERE " + condition;
    }
    ParseStatement(cursor, sql.c_str());
    sb4 result = 0;
    sb2 indicator = 0;
    DefineScalar(cursor, 1, &result, sizeof result, kExtInteger, &indicator);
    ExecuteCursor(cursor, true);
    FetchRow(cursor);
    CloseCursor(cursor);
    return result;
}

bool CanSelectFrom(const std::string& table) {
    OracleCursor cursor;
    OpenCursor(cursor);
    const std::string sql = "SELECT 0 FROM " + table + " WHERE 1 = 0";
    ParseStatement(cursor, sql.c_str());
    sb4 value = 0;
    sb2 indicator = 0;
    DefineScalar(cursor, 1, &value, sizeof value, kExtInteger, &indicator);
    const bool executed = ExecuteCursor(cursor, false);
    CloseCursor(cursor);
    return executed;
}
