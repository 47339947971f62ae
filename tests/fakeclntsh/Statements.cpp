// Prepare, define, execute and fetch over sim::Cursor.

#include <algorithm>
#include <cctype>
#include <cstring>

#include "FakeOci.h"

using namespace fake;

namespace {

// The statement type the client reads from the first keyword, without the server.
ub2 statementType(const std::string& sql) {
    std::size_t start = sql.find_first_not_of(" \t\r\n(");
    std::string keyword;
    for (std::size_t i = start; i < sql.size() && std::isalpha(static_cast<unsigned char>(sql[i]));
         ++i) {
        keyword += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i])));
    }
    const std::pair<const char*, ub2> kTypes[] = {
        {"SELECT", 1}, {"WITH", 1}, {"UPDATE", 2}, {"DELETE", 3}, {"INSERT", 4},
        {"CREATE", 5}, {"DROP", 6}, {"ALTER", 7},  {"BEGIN", 8},  {"DECLARE", 9}};
    for (const auto& [name, type] : kTypes) {
        if (keyword == name) {
            return type;
        }
    }
    return 0;
}

// The rows one round trip brings once wanted of them are asked for: as many as the prefetch
// allows, and the news that there are no more when fewer came.
void receive(Statement& statement, std::size_t wanted) {
    const std::size_t batch = std::max<std::size_t>(wanted, statement.prefetchRows);
    const std::size_t remaining = statement.cursor->rowCount() - statement.next;
    statement.buffered = std::min(batch, remaining);
    statement.endKnown = remaining < batch;
}

bool definesInSelectList(const Statement& statement) {
    if (statement.defines.empty()) {
        return true;
    }
    return statement.defines.begin()->first >= 1 &&
           statement.defines.rbegin()->first <= ub4(statement.cursor->columnCount());
}

sword failWith(Statement& statement, Error& error, sim::OraError failure) {
    if (sim::isConnectionLost(failure.code) && statement.service != nullptr) {
        statement.service->connection->markLost();
    }
    return fail(error.record, failure.code, failure.text);
}

// Fetches up to rows rows into elements 0 onwards of the defines.
sword deliverRows(Statement& statement, Error& error, ub4 rows) {
    if (!statement.fetchable) {
        return fail(error.record, 1002);
    }
    if (!definesInSelectList(statement)) {
        return fail(error.record, 1007);
    }
    const sim::Cursor& cursor = *statement.cursor;
    bool truncated = false;
    for (ub4 element = 0; element < rows; ++element) {
        if (statement.next == cursor.rowCount()) {
            fail(error.record, 1403);
            return OCI_NO_DATA;
        }
        const sim::Row& row = cursor.row(statement.next);
        for (const auto& [position, define] : statement.defines) {
            const Written written = writeValue(*define, element, row[position - 1]);
            if (written.error != 0) {
                return fail(error.record, written.error);
            }
            truncated = truncated || written.truncated;
        }
        ++statement.next;
        ++statement.rowCount;
    }
    if (truncated) {
        fail(error.record, 24345);
        return OCI_SUCCESS_WITH_INFO;
    }
    return OCI_SUCCESS;
}

}  // namespace

FAKE_EXPORT sword OCIStmtPrepare(void* statementHandle, void* errorHandle, const text* sql,
                                 ub4 length, ub4, ub4) {
    const FakeCall serial;
    Statement* statement = find<Statement>(statementHandle, OCI_HTYPE_STMT);
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    if (statement == nullptr || error == nullptr || sql == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    statement->sql.assign(reinterpret_cast<const char*>(sql), length);
    statement->statementType = statementType(statement->sql);
    statement->prepared = true;
    for (const auto& [position, define] : statement->defines) {
        release(define);
    }
    statement->defines.clear();
    statement->fetchable = false;
    statement->rowCount = 0;
    return OCI_SUCCESS;
}

// A null *define makes a new define, an existing one is a redefine; neither asks the server.
FAKE_EXPORT sword OCIDefineByPos(void* statementHandle, void** defineHandle, void* errorHandle,
                                 ub4 position, void* value, sb4 size, ub2 type, void* indicators,
                                 ub2* lengths, ub2* codes, ub4) {
    const FakeCall serial;
    Statement* statement = find<Statement>(statementHandle, OCI_HTYPE_STMT);
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    if (statement == nullptr || error == nullptr || defineHandle == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    Define* define = nullptr;
    if (*defineHandle != nullptr) {
        define = find<Define>(*defineHandle, OCI_HTYPE_DEFINE);
        if (define == nullptr || define->statement != statement || define->position != position) {
            return OCI_INVALID_HANDLE;
        }
    }
    const bool integerSize = size == 1 || size == 2 || size == 4 || size == 8;
    if (!(type == SQLT_INT && integerSize) && !(type == SQLT_STR && size >= 1)) {
        return fail(error->record, 1460);
    }
    if (define == nullptr) {
        if (auto old = statement->defines.find(position); old != statement->defines.end()) {
            release(old->second);
        }
        auto fresh = std::make_unique<Define>();
        fresh->statement = statement;
        fresh->position = position;
        define = static_cast<Define*>(adopt(std::move(fresh)));
        statement->defines[position] = define;
    }
    define->value = value;
    define->size = size;
    define->type = type;
    define->indicators = static_cast<sb2*>(indicators);
    define->lengths = lengths;
    define->codes = codes;
    *defineHandle = define;
    return OCI_SUCCESS;
}

// A query with iters 0 stands for oexec, with iters > 0 for oexfet; any other statement for oexec.
FAKE_EXPORT sword OCIStmtExecute(void* serviceHandle, void* statementHandle, void* errorHandle,
                                 ub4 iters, ub4, const void*, void*, ub4) {
    const FakeCall serial;
    Service* service = find<Service>(serviceHandle, OCI_HTYPE_SVCCTX);
    Statement* statement = find<Statement>(statementHandle, OCI_HTYPE_STMT);
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    if (service == nullptr || statement == nullptr || error == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    const bool query = statement->statementType == OCI_STMT_SELECT;
    const sim::Call call = query && iters > 0 ? sim::Call::ExecFetch : sim::Call::Exec;
    if (takeInvalidHandle(call)) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    if (!statement->prepared) {
        return fail(error->record, 24337);
    }
    if (!query && iters == 0) {
        return fail(error->record, 24333);
    }
    if (sim::OraError state = service->connection->state(); !state.ok()) {
        return fail(error->record, state.code, state.text);
    }
    if (auto code = roundTrip(call, service)) {
        return fail(error->record, *code);
    }
    if (statement->service != service || !statement->cursor) {
        statement->cursor = std::make_unique<sim::Cursor>(*service->connection);
        statement->service = service;
    }
    statement->fetchable = false;
    statement->buffered = 0;
    statement->endKnown = false;
    statement->next = 0;
    statement->rowCount = 0;
    if (sim::OraError failure = statement->cursor->execute(statement->sql); !failure.ok()) {
        return failWith(*statement, *error, std::move(failure));
    }
    if (!statement->cursor->isQuery()) {
        return OCI_SUCCESS;
    }
    if (!definesInSelectList(*statement)) {
        return fail(error->record, 1007);
    }
    statement->fetchable = true;
    receive(*statement, iters);
    if (iters == 0) {
        return OCI_SUCCESS;
    }
    statement->buffered -= std::min<std::size_t>(statement->buffered, iters);
    return deliverRows(*statement, *error, iters);
}

// Rows that came with an earlier round trip are fetched without one; so is the end of the rows
// when that round trip came short.
FAKE_EXPORT sword OCIStmtFetch2(void* statementHandle, void* errorHandle, ub4 rows, ub2, sb4, ub4) {
    const FakeCall serial;
    Statement* statement = find<Statement>(statementHandle, OCI_HTYPE_STMT);
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    if (statement == nullptr || error == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    if (takeInvalidHandle(sim::Call::Fetch)) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    if (statement->service == nullptr || !statement->fetchable) {
        return fail(error->record, 1002);
    }
    // Fetching no rows cancels the cursor.
    if (rows == 0) {
        statement->fetchable = false;
        return OCI_SUCCESS;
    }
    if (statement->buffered < rows && !statement->endKnown) {
        if (sim::OraError state = statement->service->connection->state(); !state.ok()) {
            return fail(error->record, state.code, state.text);
        }
        if (auto code = roundTrip(sim::Call::Fetch, statement->service)) {
            return fail(error->record, *code);
        }
        receive(*statement, rows);
    }
    statement->buffered -= std::min<std::size_t>(statement->buffered, rows);
    return deliverRows(*statement, *error, rows);
}

// The server's status is the client's own view: no round trip, and the error record stays.
static sword serverStatus(Server& server, void* value, ub4* size) {
    const Service* service = server.service;
    const ub4 status = server.attached && service != nullptr && service->connection &&
                               service->connection->state().ok()
                           ? OCI_SERVER_NORMAL
                           : OCI_SERVER_NOT_CONNECTED;
    std::memcpy(value, &status, sizeof status);
    if (size != nullptr) {
        *size = sizeof status;
    }
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIAttrGet(const void* handle, ub4 type, void* value, ub4* size, ub4 attribute,
                             void* errorHandle) {
    const FakeCall serial;
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    if (type == OCI_HTYPE_SERVER && attribute == OCI_ATTR_SERVER_STATUS) {
        Server* server = find<Server>(handle, type);
        return error == nullptr || server == nullptr || value == nullptr
                   ? OCI_INVALID_HANDLE
                   : serverStatus(*server, value, size);
    }
    Statement* statement = find<Statement>(handle, type == OCI_HTYPE_STMT ? type : 0);
    if (error == nullptr || statement == nullptr || value == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    if (attribute == OCI_ATTR_ROW_COUNT) {
        std::memcpy(value, &statement->rowCount, sizeof statement->rowCount);
        if (size != nullptr) {
            *size = sizeof statement->rowCount;
        }
        return OCI_SUCCESS;
    }
    if (attribute == OCI_ATTR_STMT_TYPE) {
        std::memcpy(value, &statement->statementType, sizeof statement->statementType);
        if (size != nullptr) {
            *size = sizeof statement->statementType;
        }
        return OCI_SUCCESS;
    }
    return fail(error->record, 24315);
}
