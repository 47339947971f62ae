#pragma once
// Lines of the list as text for other programs: CSV for files, tab-separated for the clipboard.

#include <string>
#include <vector>

// One line of RFC 4180 CSV, ended by CR LF: a field is quoted when it holds a comma, a quote or
// a line break, and its quotes are doubled.
std::string CsvLine(const std::vector<std::string>& fields);
// One line of tab-separated text, ended by a line feed: tabs and line breaks in a field read as
// blanks, so that every field stays in its cell.
std::string TsvLine(const std::vector<std::string>& fields);
