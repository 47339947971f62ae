#include "ClientProvider.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "OciMessages.h"

namespace {

const text* asText(const std::string& s) {
    return reinterpret_cast<const text*>(s.c_str());
}

ub4 lengthOf(const std::string& s) {
    return static_cast<ub4>(s.size());
}

std::unique_ptr<ClientLibrary> loadFromEnvironment(std::string& error) {
    return ClientLibrary::load(ClientSearch::fromEnvironment(), error);
}

}  // namespace

ClientProvider::ClientProvider(Loader loader)
    : m_loader(loader ? std::move(loader) : Loader(loadFromEnvironment)) {}

int ClientProvider::prepareLibrary(std::string& error) {
    const std::scoped_lock shared(m_lock);
    if (!m_library) {
        std::string reason;
        m_library = m_loader(reason);
        if (!m_library) {
            error = oracleMessage(OraCode::NoInterfaceDriver) + "\n" + reason;
            return OraCode::NoInterfaceDriver;
        }
    }
    if (m_environment == nullptr) {
        void* environment = nullptr;
        const sword status =
            api().envNlsCreate(&environment, oci::Threaded, nullptr, nullptr, nullptr, nullptr, 0,
                               nullptr, oci::CharsetAl32Utf8, oci::CharsetAl32Utf8);
        if (!oci::succeeded(status)) {
            error = oracleMessage(OraCode::NoInterfaceDriver) + "\n" + m_library->file() +
                    " could not set up its environment (" +
                    environmentFailure(environment, status) +
                    "): check the Instant Client installation.";
            return OraCode::NoInterfaceDriver;
        }
        m_environment = environment;
    }
    return 0;
}

// A half-made environment holds the reason (ORA-01804 for a broken install) and is freed.
std::string ClientProvider::environmentFailure(void* environment, sword status) {
    std::string reason = "OCIEnvNlsCreate returned " + std::to_string(status);
    if (environment == nullptr) {
        return reason;
    }
    sb4 code = 0;
    std::string text;
    if (errorRecord(environment, oci::HtypeEnv, code, text)) {
        reason += ": " + text;
    }
    api().handleFree(environment, oci::HtypeEnv);
    return reason;
}

int ClientProvider::open(ub4 connection, ub4& cursor) {
    Connection* owner = findConnection(connection);
    if (owner == nullptr) {
        return OraCode::NotLoggedOn;
    }
    void* statement = nullptr;
    const sword status = api().handleAlloc(m_environment, &statement, oci::HtypeStmt, 0, nullptr);
    if (int code = checkEnvironment(*owner, status, OraCode::InvalidCursor, "OCIHandleAlloc")) {
        return code;
    }
    const std::scoped_lock shared(m_lock);
    cursor = ++m_lastId;
    ClientCursor& opened = m_cursors[cursor];
    opened.connection = connection;
    opened.statement = statement;
    return 0;
}

// The library prepares without the server, so every parse is deferred to the execute.
int ClientProvider::parse(ub4 id, const std::string& sql, bool) {
    ClientCursor* cursor = findCursor(id);
    if (cursor == nullptr) {
        return OraCode::InvalidCursor;
    }
    Connection& connection = *findConnection(cursor->connection);
    const sword status = api().stmtPrepare(cursor->statement, connection.error, asText(sql),
                                           lengthOf(sql), oci::NtvSyntax, oci::Default);
    if (int code = check(connection, status, OraCode::InvalidCursor, "OCIStmtPrepare")) {
        return code;
    }
    // Rows that come with a round trip beyond those asked for save the next fetches theirs.
    ub4 prefetch = kPrefetchRows;
    if (int code = check(connection,
                         api().attrSet(cursor->statement, oci::HtypeStmt, &prefetch,
                                       sizeof prefetch, oci::AttrPrefetchRows, connection.error),
                         OraCode::InvalidCursor, "OCIAttrSet")) {
        return code;
    }
    cursor->defines.clear();
    cursor->hiddenRows = 0;
    return 0;
}

int ClientProvider::define(ub4 id, sword position, const OciDefine& define) {
    ClientCursor* cursor = findCursor(id);
    if (cursor == nullptr) {
        return OraCode::InvalidCursor;
    }
    Connection& connection = *findConnection(cursor->connection);
    if (int code = checkDefine(define)) {
        return remember(connection, code, oracleMessage(code));
    }
    // Position 0 means the row id to the client library.
    if (position < 1) {
        return remember(connection, OraCode::NotInSelectList,
                        oracleMessage(OraCode::NotInSelectList));
    }
    ClientDefine added;
    added.caller = define;
    if (int code = defineAt(*cursor, connection, position, added.handle, define)) {
        return code;
    }
    cursor->defines[position] = std::move(added);
    return 0;
}

int ClientProvider::exec(ub4 id, ub4& rpc) {
    ClientCursor* cursor = findCursor(id);
    if (cursor == nullptr) {
        return OraCode::InvalidCursor;
    }
    Connection& connection = *findConnection(cursor->connection);
    bool query = false;
    int code = pointDefines(*cursor, connection, 0);
    if (code == 0) {
        code = isQuery(*cursor, connection, query);
    }
    if (code == 0) {
        cursor->hiddenRows = 0;
        code = execute(*cursor, connection, query ? 0 : 1);
        // Rows that came with the execute wait for the fetch, which reports their end.
        if (query && code == OraCode::NoData) {
            code = 0;
        }
    }
    rpc = rowCount(*cursor, connection);
    return code;
}

int ClientProvider::fetch(ub4 id, ub4& rpc) {
    ClientCursor* cursor = findCursor(id);
    if (cursor == nullptr) {
        return OraCode::InvalidCursor;
    }
    Connection& connection = *findConnection(cursor->connection);
    int code = pointDefines(*cursor, connection, 0);
    if (code == 0) {
        code = check(connection,
                     api().stmtFetch2(cursor->statement, connection.error, 1, oci::FetchNext, 0,
                                      oci::Default),
                     OraCode::InvalidCursor, "OCIStmtFetch2");
        finishRows(*cursor, code == 0 ? 1 : 0);
    }
    rpc = rowCount(*cursor, connection);
    return code;
}

// The cancel flag is not needed: the cursor is closed or executed again after every use.
int ClientProvider::execFetch(ub4 id, ub4 rows, bool, bool exact, ub4& rpc) {
    ClientCursor* cursor = findCursor(id);
    if (cursor == nullptr) {
        return OraCode::InvalidCursor;
    }
    Connection& connection = *findConnection(cursor->connection);
    rpc = 0;
    bool query = false;
    if (int code = isQuery(*cursor, connection, query)) {
        return code;
    }
    cursor->hiddenRows = 0;
    if (query && exact && rows < std::numeric_limits<ub4>::max()) {
        return exactFetch(*cursor, connection, rows, rpc);
    }
    int code = pointDefines(*cursor, connection, 0);
    if (code == 0) {
        code = execute(*cursor, connection, query ? rows : 1);
        rpc = rowCount(*cursor, connection);
        finishRows(*cursor, query ? rpc : 0);
    }
    return code;
}

// One execute fetches a row more than wanted: whether it came tells 1422 from an exact fit.
int ClientProvider::exactFetch(ClientCursor& cursor, Connection& connection, ub4 rows, ub4& rpc) {
    const ub4 iters = rows + 1;
    if (int code = pointDefines(cursor, connection, iters)) {
        return code;
    }
    const int executed = execute(cursor, connection, iters);
    const ub4 fetched = std::min(rowCount(cursor, connection), iters);
    ub4 delivered = 0;
    const int undelivered = deliverStagedRows(cursor, std::min(fetched, rows), delivered);
    cursor.hiddenRows = fetched - delivered;
    rpc = delivered;
    if (executed != 0 && executed != OraCode::NoData) {
        return executed;
    }
    const int code = undelivered != 0 ? undelivered
                     : fetched > rows ? OraCode::TooManyRows
                     : fetched < rows ? OraCode::NoData
                                      : 0;
    return code == 0 ? 0 : remember(connection, code, oracleMessage(code));
}

int ClientProvider::close(ub4 id) {
    ClientCursor* cursor = findCursor(id);
    if (cursor == nullptr) {
        return OraCode::InvalidCursor;
    }
    Connection& connection = *findConnection(cursor->connection);
    const sword status = api().handleFree(cursor->statement, oci::HtypeStmt);
    // A statement the library would not free stays listed, so the log-off frees it.
    if (int code = checkEnvironment(connection, status, OraCode::InvalidCursor, "OCIHandleFree")) {
        return code;
    }
    const std::scoped_lock shared(m_lock);
    m_cursors.erase(id);
    return 0;
}

std::string ClientProvider::message(ub4 id, int code) {
    const Connection* connection = findConnection(id);
    // oerhms carries the code in 16 bits, so larger error numbers arrive wrapped.
    if (connection != nullptr && connection->lastCode != 0 &&
        ub2(connection->lastCode) == ub2(code)) {
        return connection->lastText;
    }
    return oracleMessage(code);
}

ClientProvider::Connection* ClientProvider::findConnection(ub4 id) {
    const std::scoped_lock shared(m_lock);
    auto found = m_connections.find(id);
    return found == m_connections.end() ? nullptr : &found->second;
}

ClientCursor* ClientProvider::findCursor(ub4 id) {
    const std::scoped_lock shared(m_lock);
    auto found = m_cursors.find(id);
    return found == m_cursors.end() ? nullptr : &found->second;
}
