#pragma once
// One implementation of the release-7 call set. olog picks a provider by the host string; the
// areas then carry the provider's tag and the ids of its handles, and every later call on them
// reaches the same provider. Each method returns 0 or the Oracle error number of the failure;
// the dispatcher keeps the areas' fc, rc and rpc.

#include <string>

#include "Oci.h"
#include "OciDefine.h"

// The rows a query sends with each round trip beyond those the caller asks for, which the
// caller's next fetches then take without one.
inline constexpr unsigned kPrefetchRows = 100;

class OciProvider {
public:
    virtual ~OciProvider() = default;

    // Texts are exact byte strings; connect is the host string without any routing prefix. An
    // empty user and password ask for external authentication (a wallet, the operating system);
    // privilege is one of OciLogonMode's. Success sets connection to a non-zero id, and warning
    // to the number of a warning that came with the log-on (0 for none), whose text message()
    // then gives; failure sets error to the log-on's message.
    virtual int logon(const std::string& user, const std::string& password,
                      const std::string& connect, ub4 privilege, ub4& connection, int& warning,
                      std::string& error) = 0;
    // 0 while the connection is usable, else the error that ended it; no round trip, and the
    // connection's last error text stays.
    virtual int checkConnection(ub4 connection) = 0;
    // The server's release read at the log-on: its number as OCIServerRelease2 encodes it (0
    // when unknown) and its text.
    virtual ub4 serverRelease(ub4 connection, std::string& banner) = 0;
    // Limits the time of every later round trip (0 = none); 0, or the error whose text
    // message() gives when the limit cannot be set.
    virtual int setCallTimeout(ub4 connection, ub4 milliseconds) = 0;
    // Also closes the connection's cursors that are still open.
    virtual int logoff(ub4 connection) = 0;
    // Success sets cursor to a non-zero id.
    virtual int open(ub4 connection, ub4& cursor) = 0;
    virtual int parse(ub4 cursor, const std::string& sql, bool deferred) = 0;
    // position counts from 1; a position beyond the select list fails the execute or fetch.
    virtual int define(ub4 cursor, sword position, const OciDefine& define) = 0;
    // rpc gets the rows processed by the cursor so far, whatever the outcome.
    virtual int exec(ub4 cursor, ub4& rpc) = 0;
    virtual int fetch(ub4 cursor, ub4& rpc) = 0;
    virtual int execFetch(ub4 cursor, ub4 rows, bool cancel, bool exact, ub4& rpc) = 0;
    virtual int close(ub4 cursor) = 0;
    // The connection's last error text when it is for code, else the standard text for code.
    virtual std::string message(ub4 connection, int code) = 0;
};
