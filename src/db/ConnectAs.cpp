#include "ConnectAs.h"

#include <cctype>

namespace {

struct Mode {
    ConnectAs mode;
    const char* name;
    ub4 oci;
};

constexpr Mode kModes[] = {
    {ConnectAs::Normal, "Normal", OciLogonMode::Normal},
    {ConnectAs::SysDba, "SYSDBA", OciLogonMode::SysDba},
    {ConnectAs::SysOper, "SYSOPER", OciLogonMode::SysOper},
    {ConnectAs::SysBackup, "SYSBACKUP", OciLogonMode::SysBackup},
    {ConnectAs::SysDg, "SYSDG", OciLogonMode::SysDg},
    {ConnectAs::SysKm, "SYSKM", OciLogonMode::SysKm},
};

const Mode& modeOf(ConnectAs mode) {
    for (const Mode& m : kModes) {
        if (m.mode == mode) {
            return m;
        }
    }
    return kModes[0];
}

bool isBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

const char* ConnectAsName(ConnectAs mode) {
    return modeOf(mode).name;
}

std::optional<ConnectAs> ConnectAsNamed(std::string_view name) {
    for (const Mode& m : kModes) {
        if (equalIgnoringCase(name, m.name)) {
            return m.mode;
        }
    }
    return std::nullopt;
}

ub4 OciLogonModeOf(ConnectAs mode) {
    return modeOf(mode).oci;
}

// Only the administrative privileges follow " as ": "as normal" is no SQL*Plus form.
std::optional<ConnectAs> TakeConnectAsSuffix(std::string& logon) {
    std::size_t end = logon.size();
    while (end > 0 && isBlank(logon[end - 1])) {
        --end;
    }
    std::size_t word = end;
    while (word > 0 && !isBlank(logon[word - 1])) {
        --word;
    }
    std::size_t as = word;
    while (as > 0 && isBlank(logon[as - 1])) {
        --as;
    }
    if (as == word || as < 2 ||
        !equalIgnoringCase(std::string_view(logon).substr(as - 2, 2), "as")) {
        return std::nullopt;
    }
    std::size_t before = as - 2;
    if (before > 0 && !isBlank(logon[before - 1])) {
        return std::nullopt;
    }
    const std::optional<ConnectAs> mode =
        ConnectAsNamed(std::string_view(logon).substr(word, end - word));
    if (!mode || *mode == ConnectAs::Normal) {
        return std::nullopt;
    }
    while (before > 0 && isBlank(logon[before - 1])) {
        --before;
    }
    logon.erase(before);
    return mode;
}
