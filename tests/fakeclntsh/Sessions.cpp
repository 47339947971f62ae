// Sessions: the server attach, the session with a password or external credentials and a
// privilege, its end, the call time limit, the server's status and release, and the client's
// release.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "FakeOci.h"

using namespace fake;

namespace {

int externalSessions = 0;
int serverRelease2Calls = 0;

std::string textOf(const void* value, ub4 size) {
    return value == nullptr ? std::string() : std::string(static_cast<const char*>(value), size);
}

// A failure of Oracle Net's (ORA-12154, ORA-12541) is the attach's; any other is the session's.
bool isNetFailure(int code) {
    return code >= 12150 && code < 13000;
}

std::optional<sim::Privilege> privilegeOf(ub4 mode) {
    switch (mode) {
        case OCI_DEFAULT:
            return sim::Privilege::None;
        case OCI_SYSDBA:
            return sim::Privilege::SysDba;
        case OCI_SYSOPER:
            return sim::Privilege::SysOper;
        case OCI_SYSBKP:
            return sim::Privilege::SysBackup;
        case OCI_SYSDGD:
            return sim::Privilege::SysDg;
        case OCI_SYSKMT:
            return sim::Privilege::SysKm;
        default:
            return std::nullopt;
    }
}

// OCI_SUCCESS, or OCI_SUCCESS_WITH_INFO with the warning the instance gives at this log-on.
sword withLogonWarning(Error& error) {
    const sim::OraError warning = sim::Controls::instance().takeLogonWarning();
    if (warning.ok()) {
        return OCI_SUCCESS;
    }
    error.record = {warning.code, warning.text};
    return OCI_SUCCESS_WITH_INFO;
}

}  // namespace

// How many sessions were begun by external authentication.
FAKE_EXPORT int nimbraFakeExternalSessions() {
    const FakeCall serial;
    return externalSessions;
}

// The release the double claims: NIMBRA_FAKE_CLIENT_RELEASE, else 19.
FAKE_EXPORT void OCIClientVersion(sword* major, sword* minor, sword* update, sword* patch,
                                  sword* port) {
    const FakeCall serial;
    const char* release = std::getenv("NIMBRA_FAKE_CLIENT_RELEASE");
    *major = release != nullptr ? std::atoi(release) : 19;
    *minor = 0;
    *update = *patch = *port = 0;
}

// The connect string names the scenario; the listener answers for the ones that exist.
FAKE_EXPORT sword OCIServerAttach(void* serverHandle, void* errorHandle, const text* link,
                                  sb4 linkLength, ub4) {
    const FakeCall serial;
    Server* server = find<Server>(serverHandle, OCI_HTYPE_SERVER);
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    if (server == nullptr || error == nullptr || server->attached) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    const std::optional<int> planned = roundTrip(sim::Call::Logon, nullptr);
    if (planned && isNetFailure(*planned)) {
        return fail(error->record, *planned);
    }
    server->logonFailure = planned;
    server->link = textOf(link, static_cast<ub4>(linkLength));
    sim::OraError unknown;
    if (!sim::Controls::instance().instanceFor(server->link, unknown)) {
        return fail(error->record, unknown.code, unknown.text);
    }
    server->attached = true;
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIServerDetach(void* serverHandle, void*, ub4) {
    const FakeCall serial;
    Server* server = find<Server>(serverHandle, OCI_HTYPE_SERVER);
    if (server == nullptr || !server->attached) {
        return OCI_INVALID_HANDLE;
    }
    server->attached = false;
    return OCI_SUCCESS;
}

// A password session takes the user name and password set on the session handle; external
// credentials ask the instance with neither.
FAKE_EXPORT sword OCISessionBegin(void* serviceHandle, void* errorHandle, void* sessionHandle,
                                  ub4 credentials, ub4 mode) {
    const FakeCall serial;
    Service* service = find<Service>(serviceHandle, OCI_HTYPE_SVCCTX);
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    Session* session = find<Session>(sessionHandle, OCI_HTYPE_SESSION);
    const std::optional<sim::Privilege> privilege = privilegeOf(mode);
    if (service == nullptr || error == nullptr || session == nullptr ||
        service->server == nullptr || !service->server->attached || service->connection) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    if (!privilege || (credentials != OCI_CRED_RDBMS && credentials != OCI_CRED_EXT)) {
        return fail(error->record, 24300);
    }
    const bool external = credentials == OCI_CRED_EXT;
    externalSessions += external ? 1 : 0;
    if (const auto planned = std::exchange(service->server->logonFailure, std::nullopt)) {
        return fail(error->record, *planned);
    }
    sim::Controls::instance().roundTrip();
    sim::OraError failure;
    service->connection =
        sim::Connection::logon(external ? "" : session->user, external ? "" : session->password,
                               service->server->link, failure, *privilege);
    if (!service->connection) {
        return fail(error->record, failure.code, failure.text);
    }
    return withLogonWarning(*error);
}

// Ends the session whatever happens; a failure only reports.
FAKE_EXPORT sword OCISessionEnd(void* serviceHandle, void* errorHandle, void*, ub4) {
    const FakeCall serial;
    Service* service = find<Service>(serviceHandle, OCI_HTYPE_SVCCTX);
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    if (service == nullptr || error == nullptr || !service->connection) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    sim::OraError outcome = service->connection->state();
    if (outcome.ok()) {
        if (const auto code = roundTrip(sim::Call::Logoff, service)) {
            outcome = sim::oraError(*code);
        }
    } else if (const auto code = sim::Controls::instance().takeFailure(sim::Call::Logoff)) {
        outcome = sim::oraError(*code);
    }
    detachStatements(*service);
    service->connection.reset();
    return outcome.ok() ? OCI_SUCCESS : fail(error->record, outcome.code, outcome.text);
}

// One round trip; the number is encoded for the server's release, as from release 18 on for a
// server of 18 or later.
static sword serverRelease(void* handle, void* errorHandle, text* buffer, ub4 size, ub1 type,
                           ub4* version) {
    Service* service = find<Service>(handle, type == OCI_HTYPE_SVCCTX ? type : 0);
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    if (service == nullptr || error == nullptr || !service->connection || version == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    if (sim::OraError state = service->connection->state(); !state.ok()) {
        return fail(error->record, state.code, state.text);
    }
    sim::Controls::instance().roundTrip();
    const sim::ServerRelease release = service->connection->serverRelease();
    *version = release.version;
    if (buffer != nullptr && size > 0) {
        const std::size_t length = std::min<std::size_t>(release.banner.size(), size - 1);
        std::memcpy(buffer, release.banner.data(), length);
        buffer[length] = 0;
    }
    return OCI_SUCCESS;
}

FAKE_EXPORT sword OCIServerRelease2(void* handle, void* errorHandle, text* buffer, ub4 size,
                                    ub1 type, ub4* version, ub4) {
    const FakeCall serial;
    ++serverRelease2Calls;
    return serverRelease(handle, errorHandle, buffer, size, type, version);
}

FAKE_EXPORT sword OCIServerRelease(void* handle, void* errorHandle, text* buffer, ub4 size,
                                   ub1 type, ub4* version) {
    const FakeCall serial;
    return serverRelease(handle, errorHandle, buffer, size, type, version);
}

// How many times the release was asked with OCIServerRelease2.
FAKE_EXPORT int nimbraFakeServerRelease2Calls() {
    const FakeCall serial;
    return serverRelease2Calls;
}

FAKE_EXPORT sword OCIAttrSet(void* handle, ub4 type, void* value, ub4 size, ub4 attribute,
                             void* errorHandle) {
    const FakeCall serial;
    Error* error = find<Error>(errorHandle, OCI_HTYPE_ERROR);
    Handle* target = findHandle(handle, type);
    if (error == nullptr || target == nullptr || value == nullptr) {
        return OCI_INVALID_HANDLE;
    }
    error->record = {};
    ub4 number = 0;
    if (size >= sizeof number) {
        std::memcpy(&number, value, sizeof number);
    }
    if (type == OCI_HTYPE_STMT && attribute == OCI_ATTR_PREFETCH_ROWS) {
        static_cast<Statement*>(target)->prefetchRows = number;
        return OCI_SUCCESS;
    }
    if (type == OCI_HTYPE_SESSION && attribute == OCI_ATTR_USERNAME) {
        static_cast<Session*>(target)->user = textOf(value, size);
        return OCI_SUCCESS;
    }
    if (type == OCI_HTYPE_SESSION && attribute == OCI_ATTR_PASSWORD) {
        static_cast<Session*>(target)->password = textOf(value, size);
        return OCI_SUCCESS;
    }
    if (type != OCI_HTYPE_SVCCTX) {
        return fail(error->record, 24315);
    }
    auto* service = static_cast<Service*>(target);
    switch (attribute) {
        case OCI_ATTR_CALL_TIMEOUT:
            service->callTimeout = std::chrono::milliseconds(number);
            return OCI_SUCCESS;
        case OCI_ATTR_SERVER:
            service->server = find<Server>(value, OCI_HTYPE_SERVER);
            if (service->server == nullptr) {
                return OCI_INVALID_HANDLE;
            }
            service->server->service = service;
            return OCI_SUCCESS;
        case OCI_ATTR_SESSION:
            service->session = find<Session>(value, OCI_HTYPE_SESSION);
            return service->session != nullptr ? OCI_SUCCESS : OCI_INVALID_HANDLE;
        default:
            return fail(error->record, 24315);
    }
}
