#include "TextRows.h"

#include <algorithm>

#include "ColumnBuffer.h"
#include "OracleCursor.h"

std::optional<TextRows> FetchTextRows(const std::string& sql, const std::vector<int>& widths,
                                      ub4 capacity, ub2 quietCode) {
    std::vector<ColumnBuffer> columns = ColumnBuffers(widths, capacity);
    OracleCursor cursor;
    OpenCursor(cursor);
    ParseStatement(cursor, sql.c_str());
    DefineColumns(cursor, columns);
    ub4 rows = capacity;
    ExecuteFetch(cursor, rows, quietCode);
    const bool refused = quietCode != 0 && LastErrorCode(cursor) == quietCode;
    CloseCursor(cursor);
    if (refused) {
        return std::nullopt;
    }
    TextRows texts(std::min(rows, capacity));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        for (const ColumnBuffer& column : columns) {
            texts[i].push_back(column.text(ub4(i)));
        }
    }
    return texts;
}
