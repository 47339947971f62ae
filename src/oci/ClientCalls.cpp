// The client-library calls that several release-7 calls share, and how their outcomes become
// Oracle error numbers.

#include "ClientProvider.h"
#include "OciMessages.h"

namespace {

std::string withoutTrailingNewlines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

}  // namespace

int ClientProvider::remember(Connection& connection, int code, std::string text) {
    connection.lastCode = code;
    connection.lastText = std::move(text);
    return code;
}

int ClientProvider::check(Connection& connection, sword status, int fallback,
                          const char* function) {
    if (oci::succeeded(status)) {
        return 0;
    }
    if (status == oci::NoData) {
        return remember(connection, OraCode::NoData, oracleMessage(OraCode::NoData));
    }
    return diagnose(connection, connection.error, oci::HtypeError, status, fallback, function);
}

// Handle allocation and release have no error handle; their diagnostics, when the library keeps
// any, are on the environment.
int ClientProvider::checkEnvironment(Connection& connection, sword status, int fallback,
                                     const char* function) {
    return oci::succeeded(status)
               ? 0
               : diagnose(connection, m_environment, oci::HtypeEnv, status, fallback, function);
}

// Only OCI_ERROR leaves a record of its own: after any other status the handle still holds the
// previous call's error, so the status itself is reported.
int ClientProvider::diagnose(Connection& connection, void* handle, ub4 type, sword status,
                             int fallback, const char* function) {
    if (status != oci::Error) {
        const std::string answer = status == oci::InvalidHandle
                                       ? std::string(
                                             "OCI_INVALID_HANDLE: a handle it was given "
                                             "is not one it knows")
                                       : "the unexpected status " + std::to_string(status);
        return remember(connection, fallback,
                        oracleMessage(fallback) + "\nThe Oracle client library answered " +
                            function + " with " + answer + ".");
    }
    return readError(connection, handle, type, fallback);
}

bool ClientProvider::errorRecord(void* handle, ub4 type, sb4& code, std::string& text) {
    code = 0;
    ::text buffer[oci::ErrorTextSize] = {};
    if (handle == nullptr ||
        api().errorGet(handle, 1, nullptr, &code, buffer, sizeof buffer, type) != oci::Success ||
        code == 0) {
        return false;
    }
    buffer[sizeof buffer - 1] = 0;
    text = withoutTrailingNewlines(reinterpret_cast<const char*>(buffer));
    return true;
}

int ClientProvider::readError(Connection& connection, void* handle, ub4 type, int fallback) {
    sb4 code = 0;
    std::string text;
    return errorRecord(handle, type, code, text)
               ? remember(connection, code, std::move(text))
               : remember(connection, fallback, oracleMessage(fallback));
}

int ClientProvider::defineAt(ClientCursor& cursor, Connection& connection, sword position,
                             void*& handle, const OciDefine& target) {
    const sword status =
        api().defineByPos(cursor.statement, &handle, connection.error, ub4(position), target.buffer,
                          target.length, oci::externalType(target.type), target.indicators,
                          target.lengths, target.codes, oci::Default);
    return check(connection, status, OraCode::InvalidCursor, "OCIDefineByPos");
}

// A redefine passes the define handle it already has, so the library reuses it.
int ClientProvider::pointDefines(ClientCursor& cursor, Connection& connection, ub4 stagedRows) {
    for (auto& [position, define] : cursor.defines) {
        if (stagedRows == 0 && !define.staged) {
            continue;
        }
        OciDefine target = define.caller;
        if (stagedRows > 0) {
            define.staging.resize(define.caller, stagedRows);
            target = define.staging.target(define.caller);
        } else {
            define.staging = {};
        }
        if (int code = defineAt(cursor, connection, position, define.handle, target)) {
            return code;
        }
        define.staged = stagedRows > 0;
    }
    return 0;
}

int ClientProvider::isQuery(ClientCursor& cursor, Connection& connection, bool& query) {
    ub2 type = 0;
    const sword status = api().attrGet(cursor.statement, oci::HtypeStmt, &type, nullptr,
                                       oci::AttrStmtType, connection.error);
    query = type == oci::StmtSelect;
    return check(connection, status, OraCode::InvalidCursor, "OCIAttrGet");
}

int ClientProvider::execute(ClientCursor& cursor, Connection& connection, ub4 iters) {
    return check(connection,
                 api().stmtExecute(connection.service, cursor.statement, connection.error, iters, 0,
                                   nullptr, nullptr, oci::Default),
                 OraCode::InvalidCursor, "OCIStmtExecute");
}

// Rows fetched so far and delivered to the caller; 0 when the library cannot say.
ub4 ClientProvider::rowCount(ClientCursor& cursor, Connection& connection) {
    ub4 rows = 0;
    if (api().attrGet(cursor.statement, oci::HtypeStmt, &rows, nullptr, oci::AttrRowCount,
                      connection.error) != oci::Success) {
        return 0;
    }
    return rows > cursor.hiddenRows ? rows - cursor.hiddenRows : 0;
}

void ClientProvider::finishRows(const ClientCursor& cursor, ub4 rows) {
    for (const auto& [position, define] : cursor.defines) {
        for (ub4 element = 0; element < rows; ++element) {
            finishElement(define.caller, element);
        }
    }
}
