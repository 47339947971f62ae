#pragma once
// The records that the session statements fill.

#include <string>
#include <vector>

#include "LongOperations.h"
#include "SessionColumns.h"

// One row of the session list: its values as the list statement read them, in the order of the
// columns it asked for, the seven every list reads first.
struct SessionRow {
    std::vector<std::string> values;
    // The number of the instance it runs on when the list reads a cluster; empty otherwise.
    std::string instance = {};

    // A value of the seven every list reads; empty when the row has none.
    const std::string& Base(SessionColumnId id) const;
};

// The sessions of one refresh and the columns their values stand for.
struct SessionList {
    std::vector<SessionColumnId> columns;
    std::vector<SessionRow> rows;
    // Every long operation, when the Progress column was read.
    std::vector<LongOperation> longOperations = {};

    // A row's value of a column; empty when the list did not read that column.
    const std::string& Value(const SessionRow& row, SessionColumnId id) const;
};

// A session as the list names it: its SID and serial#, and on a cluster its instance, for a SID
// is only unique within one instance.
struct SessionKey {
    std::string sid;
    std::string serial;
    std::string instance = {};

    bool operator==(const SessionKey&) const = default;
};

// Everything the properties sheet shows about one session.
struct SessionDetails {
    std::string sid;
    std::string serial;
    std::string status;
    std::string username;
    std::string osUser;
    std::string machine;
    std::string program;
    std::string schemaName;
    std::string logonTime;
    std::string sqlText;
};

// Fetch buffer widths in bytes, terminating NUL included: the widest value of each column in
// today's releases (V$SESSION and V$SQLTEXT of 19c and 23ai), plus the NUL.
namespace FetchWidth {
inline constexpr int Name = 128 + 1;      // USERNAME, OSUSER, SCHEMANAME: VARCHAR2(128)
inline constexpr int Number = 10 + 1;     // SID, SERIAL#: integers below 2^32 as text
inline constexpr int Status = 8 + 1;      // STATUS: VARCHAR2(8)
inline constexpr int Machine = 64 + 1;    // MACHINE: VARCHAR2(64)
inline constexpr int Program = 84 + 1;    // PROGRAM: VARCHAR2(84), 48 in older releases
inline constexpr int LogonTime = 32 + 1;  // 'DD-MON-YYYY HH24:MI:SS' in any date language
inline constexpr int SqlPiece = 64 + 1;   // SQL_TEXT: VARCHAR2(64)
}  // namespace FetchWidth

// Converted into the client's UTF-8 from another database character set, a value may take up
// to this many times its stored bytes. Buffers of one row are that wide from the start; the list
// fetches a column again that wide when the database reports a value in it cut.
inline constexpr int kConversionGrowth = 4;

// A width grown for converted values, the NUL counted once.
constexpr int ConvertedWidth(int width) {
    return (width - 1) * kConversionGrowth + 1;
}
