// The environment, handles, error records and sessions.

#include <algorithm>
#include <cstring>

#include "FakeOci.h"

using namespace fake;

namespace {

std::string textOf(const text* bytes, ub4 length) {
    return bytes == nullptr ? std::string()
                            : std::string(reinterpret_cast<const char*>(bytes), length);
}

ErrorRecord* recordOf(void* handle, ub4 type) {
    if (type == OCI_HTYPE_ERROR) {
        Error* error = find<Error>(handle, type);
        return error == nullptr ? nullptr : &error->record;
    }
    if (type == OCI_HTYPE_ENV) {
        Env* env = find<Env>(handle, type);
        return env == nullptr ? nullptr : &env->record;
    }
    return nullptr;
}

}  // namespace

namespace fake {
// A log-on that succeeds with the warning the instance was told to give.
sword withLogonWarning(Error& error) {
    const sim::OraError warning = sim::Controls::instance().takeLogonWarning();
    if (warning.ok()) {
        return OCI_SUCCESS;
    }
    error.record = {warning.code, warning.text};
    return OCI_SUCCESS_WITH_INFO;
}
}  // namespace fake

FAKE_EXPORT sword OCIEnvNlsCreate(void** env, ub4, void*, void* (*)(void*, std::size_t),
                                  void* (*)(void*, void*, std::size_t), void (*)(void*, void*),
                                  std::size_t, void**, ub2, ub2) {
    if (env == nullptr) {
        return OCI_ERROR;
    }
    *env = adopt(std::make_unique<Env>());
    return OCI_SUCCESS;
}

// Statement allocation stands for oopen; its diagnostics go to the environment.
FAKE_EXPORT sword OCIHandleAlloc(const void* parent, void** handle, ub4 type, std::size_t, void**) {
    Env* env = find<Env>(parent, OCI_HTYPE_ENV);
    if (env == nullptr || handle == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    env->record = {};
    if (type == OCI_HTYPE_ERROR) {
        *handle = adopt(std::make_unique<Error>());
        return OCI_SUCCESS;
    }
    if (type == OCI_HTYPE_SERVER || type == OCI_HTYPE_SVCCTX || type == OCI_HTYPE_SESSION) {
        *handle = type == OCI_HTYPE_SERVER   ? adopt(std::make_unique<Server>())
                  : type == OCI_HTYPE_SVCCTX ? adopt(std::make_unique<Service>())
                                             : adopt(std::make_unique<Session>());
        return OCI_SUCCESS;
    }
    if (type != OCI_HTYPE_STMT) {
        return OCI_INVALID_HANDLE;
    }
    if (auto code = plannedFailure(sim::Call::Open, nullptr)) {
        return fail(env->record, *code);
    }
    auto statement = std::make_unique<Statement>();
    statement->env = env;
    *handle = adopt(std::move(statement));
    return OCI_SUCCESS;
}

// Statement release stands for oclose; a failed release leaves the statement as it was.
FAKE_EXPORT sword OCIHandleFree(void* handle, ub4 type) {
    Handle* found = findHandle(handle, type);
    if (found == nullptr || type == OCI_HTYPE_DEFINE) {
        return OCI_INVALID_HANDLE;
    }
    if (type == OCI_HTYPE_STMT) {
        auto* statement = static_cast<Statement*>(found);
        statement->env->record = {};
        if (auto code = plannedFailure(sim::Call::Close, statement->service)) {
            return fail(statement->env->record, *code);
        }
    }
    if (type == OCI_HTYPE_SVCCTX) {
        detachStatements(*static_cast<Service*>(found));
    }
    release(found);
    return OCI_SUCCESS;
}

// The text comes with a trailing newline, as Oracle's own client often gives it.
FAKE_EXPORT sword OCIErrorGet(void* handle, ub4 record, text*, sb4* code, text* buffer, ub4 size,
                              ub4 type) {
    const ErrorRecord* kept = recordOf(handle, type);
    if (kept == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    if (record != 1 || kept->code == 0) {
        return OCI_NO_DATA;
    }
    if (code != nullptr) {
        *code = kept->code;
    }
    if (buffer != nullptr && size > 0) {
        const std::string message = kept->text + "\n";
        const std::size_t length = std::min<std::size_t>(message.size(), size - 1);
        std::memcpy(buffer, message.data(), length);
        buffer[length] = 0;
    }
    return OCI_SUCCESS;
}

// The connect string names the scenario.
FAKE_EXPORT sword OCILogon2(void* envHandle, void* errorHandle, void** service, const text* user,
                            ub4 userLength, const text* password, ub4 passwordLength,
                            const text* database, ub4 databaseLength, ub4) {
    Env* env = find<Env>(envHandle, OCI_HTYPE_ENV);
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    if (env == nullptr || error == nullptr || service == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    if (auto code = plannedFailure(sim::Call::Logon, nullptr)) {
        return fail(error->record, *code);
    }
    sim::Controls::instance().roundTrip();
    sim::OraError failure;
    auto connection =
        sim::Connection::logon(textOf(user, userLength), textOf(password, passwordLength),
                               textOf(database, databaseLength), failure);
    if (!connection) {
        return fail(error->record, failure.code, failure.text);
    }
    auto opened = std::make_unique<Service>();
    opened->connection = std::move(connection);
    *service = adopt(std::move(opened));
    return withLogonWarning(*error);
}

// Ends the session whatever happens; a failure only reports.
FAKE_EXPORT sword OCILogoff(void* serviceHandle, void* errorHandle) {
    Service* service = find<Service>(serviceHandle, OCI_HTYPE_SVCCTX);
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    if (service == nullptr || error == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    sim::OraError outcome;
    if (auto code = plannedFailure(sim::Call::Logoff, service)) {
        outcome = sim::oraError(*code);
    } else {
        outcome = service->connection->state();
        if (outcome.ok()) {
            sim::Controls::instance().roundTrip();
        }
    }
    detachStatements(*service);
    release(service);
    return outcome.ok() ? OCI_SUCCESS : fail(error->record, outcome.code, outcome.text);
}
