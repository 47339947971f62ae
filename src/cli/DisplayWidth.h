#pragma once
// How many terminal columns a UTF-8 text takes: wide East Asian characters two, combining marks
// none, everything else one.

#include <string>

std::size_t DisplayWidth(const std::string& utf8);
