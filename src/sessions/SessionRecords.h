#pragma once
// The records that the session statements fill.

#include <string>

// One row of the session list, in the order of the list's columns.
struct SessionRow {
    std::string username;
    std::string sid;
    std::string serial;
    std::string status;
    std::string osUser;
    std::string machine;
    std::string program;
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

// Fetch buffer widths, terminating NUL included.
inline constexpr int kTextWidth = 30;
inline constexpr int kWideTextWidth = 60;
inline constexpr int kSqlPieceWidth = 2000;
