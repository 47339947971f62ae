#pragma once
// Text renderings of the session list for the command-line tool.

#include <string>
#include <vector>

#include "ConnectAs.h"
#include "SessionRecords.h"

// The shown columns of the list, padded to their widest cell, separated by two blanks, headed
// like the list view; values as ForTerminal shows them.
std::string FormatAligned(const SessionList& list, const std::vector<SessionColumnId>& shown);
// Rows of cells, the first the headings, laid out as FormatAligned does; the cells as they are.
std::string FormatAlignedCells(const std::vector<std::vector<std::string>>& table);
// RFC 4180 CSV with a heading line; fields quoted when they need it. Values go to a file as they
// are; to a terminal, which someone reads, as ForTerminal shows them.
enum class Destination { File, Terminal };
std::string FormatCsv(const SessionList& list, const std::vector<SessionColumnId>& shown,
                      Destination destination = Destination::File);

struct LogonArgument {
    std::string user;
    std::string password;
    std::string host;
    // Whether the argument gave a password ("user/password", "user/"): "user@host" asks for it.
    bool hasPassword = false;
    ConnectAs mode = ConnectAs::Normal;
};
// Splits "user/password@host"; the password may itself hold '@' (the host follows the last one).
// "/@alias" is external authentication: no user name, no password. A trailing " as sysdba" (or
// another privilege, any letter case) is SQL*Plus's administrative log-on: "/ as sysdba" is the
// local database's, through the operating system.
LogonArgument ParseLogonArgument(const std::string& argument);
