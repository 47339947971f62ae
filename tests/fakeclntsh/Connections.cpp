// The environment, handles and error records.

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "FakeOci.h"

using namespace fake;

namespace {

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

// NIMBRA_FAKE_ENV_ERROR names the error of a broken install (1804): the environment is made, holds
// the error, and the call fails, as Oracle's own client does.
FAKE_EXPORT sword OCIEnvNlsCreate(void** env, ub4, void*, void* (*)(void*, std::size_t),
                                  void* (*)(void*, void*, std::size_t), void (*)(void*, void*),
                                  std::size_t, void**, ub2, ub2) {
    const FakeCall serial;
    if (env == nullptr) {
        return OCI_ERROR;
    }
    auto* made = static_cast<Env*>(adopt(std::make_unique<Env>()));
    *env = made;
    const char* broken = std::getenv("NIMBRA_FAKE_ENV_ERROR");
    return broken == nullptr ? OCI_SUCCESS : fail(made->record, std::atoi(broken));
}

// Allocating and freeing are the client's own work: no server error can come of them.
FAKE_EXPORT sword OCIHandleAlloc(const void* parent, void** handle, ub4 type, std::size_t, void**) {
    const FakeCall serial;
    Env* env = find<Env>(parent, OCI_HTYPE_ENV);
    if (env == nullptr || handle == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    env->record = {};
    switch (type) {
        case OCI_HTYPE_ERROR:
            *handle = adopt(std::make_unique<Error>());
            return OCI_SUCCESS;
        case OCI_HTYPE_SERVER:
            *handle = adopt(std::make_unique<Server>());
            return OCI_SUCCESS;
        case OCI_HTYPE_SVCCTX:
            *handle = adopt(std::make_unique<Service>());
            return OCI_SUCCESS;
        case OCI_HTYPE_SESSION:
            *handle = adopt(std::make_unique<Session>());
            return OCI_SUCCESS;
        case OCI_HTYPE_STMT: {
            auto statement = std::make_unique<Statement>();
            statement->env = env;
            *handle = adopt(std::move(statement));
            return OCI_SUCCESS;
        }
        default:
            return OCI_INVALID_HANDLE;
    }
}

FAKE_EXPORT sword OCIHandleFree(void* handle, ub4 type) {
    const FakeCall serial;
    Handle* found = findHandle(handle, type);
    if (found == nullptr || type == OCI_HTYPE_DEFINE) {
        return OCI_INVALID_HANDLE;
    }
    if (type == OCI_HTYPE_SVCCTX) {
        auto* service = static_cast<Service*>(found);
        detachStatements(*service);
        if (service->server != nullptr) {
            service->server->service = nullptr;
        }
    }
    if (type == OCI_HTYPE_SERVER && static_cast<Server*>(found)->service != nullptr) {
        static_cast<Server*>(found)->service->server = nullptr;
    }
    release(found);
    return OCI_SUCCESS;
}

// The text comes with a trailing newline, as Oracle's own client often gives it.
FAKE_EXPORT sword OCIErrorGet(void* handle, ub4 record, text*, sb4* code, text* buffer, ub4 size,
                              ub4 type) {
    const FakeCall serial;
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
