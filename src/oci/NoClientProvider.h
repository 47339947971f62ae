#pragma once
// The provider for every host string that is not "sim:...": this build has no Oracle client
// library behind it, so the log-on fails with a message that says where to go instead.

#include "OciProvider.h"

class NoClientProvider final : public OciProvider {
public:
    int logon(const std::string& user, const std::string& password, const std::string& connect,
              ub4& connection, std::string& error) override;
    // No connection or cursor ever exists here.
    int logoff(ub4 connection) override;
    int open(ub4 connection, ub4& cursor) override;
    int parse(ub4 cursor, const std::string& sql, bool deferred) override;
    int define(ub4 cursor, sword position, const OciDefine& define) override;
    int exec(ub4 cursor, ub4& rpc) override;
    int fetch(ub4 cursor, ub4& rpc) override;
    int execFetch(ub4 cursor, ub4 rows, bool cancel, bool exact, ub4& rpc) override;
    int close(ub4 cursor) override;
    std::string message(ub4 connection, int code) override;
};
