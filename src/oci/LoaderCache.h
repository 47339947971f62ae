#pragma once
// Reads the loader's cache (ld.so.cache, written by ldconfig), so that a library the loader would
// find by name can be opened by its full path instead.

#include <map>
#include <string>
#include <vector>

constexpr const char* kLoaderCacheFile = "/etc/ld.so.cache";

// For each of names that the cache lists for this machine's architecture, the files it names, in
// the cache's order; nothing for a cache that is missing or not in a format this reader knows.
std::map<std::string, std::vector<std::string>> ReadLoaderCache(
    const std::string& cacheFile, const std::vector<std::string>& names);
