#pragma once
// The provider for every host string that is not "sim:...": the release-7 calls over the Oracle
// client library's handle API, the library loaded by the first log-on that needs it.
// olog attaches to the server and begins the session (OCIServerAttach, OCISessionBegin, with a
// password or by external authentication, and the privilege asked for), then reads the server's
// release; ologof ends both. Otherwise each release-7 call makes one library call that can fail
// on its own account: oopen OCIHandleAlloc, oparse OCIStmtPrepare, odefin OCIDefineByPos, oexec
// and oexfet OCIStmtExecute, ofetch OCIStmtFetch2, oclose OCIHandleFree.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "ClientCursor.h"
#include "ClientLibrary.h"
#include "OciProvider.h"

class ClientProvider final : public OciProvider {
public:
    // Returns the library, or null with sentences for the user in error.
    using Loader = std::function<std::unique_ptr<ClientLibrary>(std::string& error)>;
    // The default loader searches this machine as ClientSearch::fromEnvironment describes.
    explicit ClientProvider(Loader loader = {});

    int logon(const std::string& user, const std::string& password, const std::string& connect,
              ub4 privilege, ub4& connection, int& warning, std::string& error) override;
    int checkConnection(ub4 connection) override;
    ub4 serverRelease(ub4 connection, std::string& banner) override;
    int setCallTimeout(ub4 connection, ub4 milliseconds) override;
    int logoff(ub4 connection) override;
    int open(ub4 connection, ub4& cursor) override;
    int parse(ub4 cursor, const std::string& sql, bool deferred) override;
    int define(ub4 cursor, sword position, const OciDefine& define) override;
    int exec(ub4 cursor, ub4& rpc) override;
    int fetch(ub4 cursor, ub4& rpc) override;
    int execFetch(ub4 cursor, ub4 rows, bool cancel, bool exact, ub4& rpc) override;
    int close(ub4 cursor) override;
    std::string message(ub4 connection, int code) override;

private:
    struct Connection {
        void* service = nullptr;
        void* error = nullptr;
        void* server = nullptr;
        void* session = nullptr;
        int lastCode = 0;
        std::string lastText;
        ub4 release = 0;
        std::string banner;
    };

    int prepareLibrary(std::string& error);
    // What a failed OCIEnvNlsCreate says, the reason read from the environment it left, if any,
    // which is then freed.
    std::string environmentFailure(void* environment, sword status);
    // Attaches and begins the session, with a password unless both texts are empty; 0 or the
    // error, whose text the connection keeps. A failure leaves no handle but the error handle.
    int beginSession(Connection& opened, const std::string& user, const std::string& password,
                     const std::string& connect, ub4 privilege);
    // Frees the handles of a session that did not begin, after the failure text is kept.
    void abandonSession(Connection& opened, bool attached);
    // The client library's release; 0 when it cannot tell.
    struct ClientRelease {
        sword major = 0;
        sword minor = 0;
    };
    ClientRelease clientRelease() const;
    void readServerRelease(Connection& connection);
    // Ends the session and frees every handle of the connection; 0 or the error of the end.
    int endSession(Connection& connection);
    // The warning of a log-on that succeeded with information, 0 for none.
    int warningOf(Connection& connection, sword status);
    const oci::Api& api() const { return m_library->api(); }
    Connection* findConnection(ub4 id);
    ClientCursor* findCursor(ub4 id);
    // 0 when status of function is a success (with or without information), else the Oracle
    // error number, whose text the connection keeps for message().
    int check(Connection& connection, sword status, int fallback, const char* function);
    // check() for the calls that report on the environment handle.
    int checkEnvironment(Connection& connection, sword status, int fallback, const char* function);
    // The failure that status says, from the library's error record on handle when it left one.
    int diagnose(Connection& connection, void* handle, ub4 type, sword status, int fallback,
                 const char* function);
    // The error record on handle, or fallback when it keeps none.
    int readError(Connection& connection, void* handle, ub4 type, int fallback);
    // The first error record on handle; false when there is none.
    bool errorRecord(void* handle, ub4 type, sb4& code, std::string& text);
    int remember(Connection& connection, int code, std::string text);
    // Points the define at position at target; a null handle makes a new define.
    int defineAt(ClientCursor& cursor, Connection& connection, sword position, void*& handle,
                 const OciDefine& target);
    // Points every define at the caller's buffers (stagedRows 0) or at staging of that many rows.
    int pointDefines(ClientCursor& cursor, Connection& connection, ub4 stagedRows);
    int isQuery(ClientCursor& cursor, Connection& connection, bool& query);
    int execute(ClientCursor& cursor, Connection& connection, ub4 iters);
    ub4 rowCount(ClientCursor& cursor, Connection& connection);
    void finishRows(const ClientCursor& cursor, ub4 rows);
    int exactFetch(ClientCursor& cursor, Connection& connection, ub4 rows, ub4& rpc);

    Loader m_loader;
    std::unique_ptr<ClientLibrary> m_library;
    void* m_environment = nullptr;
    // Connections of two threads share the library, the environment and these lists; each
    // connection's handles are used by its own thread only.
    std::mutex m_lock;
    std::map<ub4, Connection> m_connections;
    std::map<ub4, ClientCursor> m_cursors;
    ub4 m_lastId = 0;
};
