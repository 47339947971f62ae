#pragma once
// The instance's user accounts and what each may do.

#include <string_view>

#include "Translate.h"

namespace sim {

struct Account {
    std::string_view name;  // upper case, as the server stores it
    std::string_view password;
    ViewRights rights;
    bool mayKill;  // holds ALTER SYSTEM
    // Holds the administrative privileges, and may log on only with one of them.
    bool administrator = false;
};

inline const Account* findAccount(std::string_view upperName) {
    static constexpr Account kAccounts[] = {
        {"SYS", "change_on_install", {true, true, true}, true, true},
        {"SYSTEM", "manager", {true, true, true}, true},
        {"MONITOR", "monitor", {true, false, false}, false},
        {"SCOTT", "tiger", {false, false, false}, false},
    };
    for (const Account& account : kAccounts) {
        if (account.name == upperName)
            return &account;
    }
    return nullptr;
}

}  // namespace sim
