#include "LoaderCache.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

// The layouts glibc's ldconfig writes: the new format alone, or after the old one ("compat").
constexpr char kNewMagic[] = "glibc-ld.so.cache1.1";
constexpr std::size_t kNewHeaderSize = 48;
constexpr std::size_t kNewEntrySize = 24;
constexpr char kOldMagic[] = "ld.so-1.7.0";
constexpr std::size_t kOldHeaderSize = 16;
constexpr std::size_t kOldEntrySize = 12;

// An entry's flags: the low byte its kind, the next the architecture it was built for.
constexpr std::uint32_t kElfLibc6 = 0x0003;
#if defined(__x86_64__)
constexpr std::uint32_t kArchitecture = 0x0300;
#elif defined(__aarch64__)
constexpr std::uint32_t kArchitecture = 0x0a00;
#else
constexpr std::uint32_t kArchitecture = 0;
#endif

std::uint32_t word(const std::string& data, std::size_t offset) {
    std::uint32_t value = 0;
    if (offset + sizeof value <= data.size()) {
        std::memcpy(&value, data.data() + offset, sizeof value);
    }
    return value;
}

// Where the new format begins in the file; npos when it is not there.
std::size_t newFormatStart(const std::string& data) {
    std::size_t start = 0;
    if (data.compare(0, sizeof kOldMagic - 1, kOldMagic) == 0) {
        start = kOldHeaderSize + std::size_t(word(data, 12)) * kOldEntrySize;
        start = (start + 7) / 8 * 8;
    }
    return data.compare(start, sizeof kNewMagic - 1, kNewMagic) == 0 ? start : std::string::npos;
}

// The NUL-terminated text at offset from the start of the new format; empty when outside it.
std::string text(const std::string& data, std::size_t start, std::uint32_t offset) {
    const std::size_t at = start + offset;
    return at < data.size() ? std::string(data.c_str() + at) : std::string();
}

}  // namespace

std::map<std::string, std::vector<std::string>> ReadLoaderCache(
    const std::string& cacheFile, const std::vector<std::string>& names) {
    std::ifstream file(cacheFile, std::ios::binary);
    const std::string data{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::map<std::string, std::vector<std::string>> found;
    const std::size_t start = newFormatStart(data);
    if (start == std::string::npos) {
        return found;
    }
    const std::size_t count = word(data, start + 20);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = start + kNewHeaderSize + i * kNewEntrySize;
        if (entry + kNewEntrySize > data.size()) {
            break;
        }
        const std::uint32_t flags = word(data, entry);
        if ((flags & 0xff) != kElfLibc6 ||
            (kArchitecture != 0 && (flags & 0xff00) != kArchitecture)) {
            continue;
        }
        const std::string name = text(data, start, word(data, entry + 4));
        if (std::find(names.begin(), names.end(), name) != names.end()) {
            found[name].push_back(text(data, start, word(data, entry + 8)));
        }
    }
    return found;
}
