// Sessions begun by hand (server attach, session begin with external credentials), the call
// time limit and the client's release.

#include <cstdlib>
#include <cstring>

#include "FakeOci.h"

using namespace fake;

namespace {
int externalSessions = 0;
}  // namespace

// How many sessions were begun by external authentication.
FAKE_EXPORT int nimbraFakeExternalSessions() {
    return externalSessions;
}

// The release the double claims: NIMBRA_FAKE_CLIENT_RELEASE, else 19.
FAKE_EXPORT void OCIClientVersion(sword* major, sword* minor, sword* update, sword* patch,
                                  sword* port) {
    const char* release = std::getenv("NIMBRA_FAKE_CLIENT_RELEASE");
    *major = release != nullptr ? std::atoi(release) : 19;
    *minor = 0;
    *update = *patch = *port = 0;
}

FAKE_EXPORT sword OCIServerAttach(void* serverHandle, void* errorHandle, const text* link,
                                  sb4 linkLength, ub4) {
    Server* server = find<Server>(serverHandle, OCI_HTYPE_SERVER);
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    if (server == nullptr || error == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    server->link = link == nullptr ? std::string()
                                   : std::string(reinterpret_cast<const char*>(link),
                                                 static_cast<std::size_t>(linkLength));
    server->attached = true;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIServerDetach(void* serverHandle, void*, ub4) {
    Server* server = find<Server>(serverHandle, OCI_HTYPE_SERVER);
    if (server == nullptr || !server->attached) {
        return OCI_INVALID_HANDLE;
    }
    server->attached = false;
    return OCI_SUCCESS;
}

// External credentials: the instance is asked with no user name and no password.
FAKE_EXPORT sword OCISessionBegin(void* serviceHandle, void* errorHandle, void* sessionHandle,
                                  ub4 credentials, ub4) {
    Service* service = find<Service>(serviceHandle, OCI_HTYPE_SVCCTX);
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    if (service == nullptr || error == nullptr ||
        find<Session>(sessionHandle, OCI_HTYPE_SESSION) == nullptr || service->server == nullptr ||
        !service->server->attached) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    if (credentials != OCI_CRED_EXT) {
        return fail(error->record, 1017);
    }
    ++externalSessions;
    if (auto code = plannedFailure(sim::Call::Logon, nullptr)) {
        return fail(error->record, *code);
    }
    sim::Controls::instance().roundTrip();
    sim::OraError failure;
    service->connection = sim::Connection::logon("", "", service->server->link, failure);
    if (!service->connection) {
        return fail(error->record, failure.code, failure.text);
    }
    return withLogonWarning(*error);
}

FAKE_EXPORT sword OCISessionEnd(void* serviceHandle, void* errorHandle, void*, ub4) {
    Service* service = find<Service>(serviceHandle, OCI_HTYPE_SVCCTX);
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    if (service == nullptr || error == nullptr || !service->connection) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    detachStatements(*service);
    service->connection.reset();
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIAttrSet(void* handle, ub4 type, void* value, ub4, ub4 attribute,
                             void* errorHandle) {
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    Service* service = find<Service>(handle, type == OCI_HTYPE_SVCCTX ? type : 0);
    if (error == nullptr || service == nullptr || value == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    switch (attribute) {
        case OCI_ATTR_CALL_TIMEOUT: {
            ub4 milliseconds = 0;
            std::memcpy(&milliseconds, value, sizeof milliseconds);
            service->callTimeout = std::chrono::milliseconds(milliseconds);
            return OCI_SUCCESS;
        }
        case OCI_ATTR_SERVER:
            service->server = find<Server>(value, OCI_HTYPE_SERVER);
            return service->server != nullptr ? OCI_SUCCESS : OCI_INVALID_HANDLE;
        case OCI_ATTR_SESSION:
            service->session = find<Session>(value, OCI_HTYPE_SESSION);
            return service->session != nullptr ? OCI_SUCCESS : OCI_INVALID_HANDLE;
        default:
            return fail(error->record, 24315);
    }
}
