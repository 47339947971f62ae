// ClientProvider's sessions: the log-on with a password or by external authentication and with
// an administrative privilege, its warning, the server's release, the call time limit, the
// connection's state and the log-off.

#include <string>
#include <utility>

#include "ClientProvider.h"
#include "OciMessages.h"

namespace {

const text* asText(const std::string& s) {
    return reinterpret_cast<const text*>(s.c_str());
}

ub4 lengthOf(const std::string& s) {
    return static_cast<ub4>(s.size());
}

// The release text of OCIServerRelease fits the classic 512 bytes.
constexpr ub4 kReleaseTextSize = 512;

}  // namespace

int ClientProvider::logon(const std::string& user, const std::string& password,
                          const std::string& connect, ub4 privilege, ub4& connection, int& warning,
                          std::string& error) {
    if (int code = prepareLibrary(error)) {
        return code;
    }
    Connection opened;
    const sword status =
        api().handleAlloc(m_environment, &opened.error, oci::HtypeError, 0, nullptr);
    if (int code = checkEnvironment(opened, status, OraCode::NoInterfaceDriver, "OCIHandleAlloc")) {
        error = opened.lastText;
        return code;
    }
    if (int code = beginSession(opened, user, password, connect, privilege)) {
        api().handleFree(opened.error, oci::HtypeError);
        error = opened.lastText;
        return code;
    }
    warning = opened.lastCode;
    readServerRelease(opened);
    const std::scoped_lock shared(m_lock);
    connection = ++m_lastId;
    m_connections[connection] = std::move(opened);
    return 0;
}

int ClientProvider::warningOf(Connection& connection, sword status) {
    connection.lastCode = 0;
    if (status != oci::SuccessWithInfo) {
        return 0;
    }
    return readError(connection, connection.error, oci::HtypeError, 0);
}

// An empty connect string reaches the local default database. No user name and no password: a
// wallet or the operating system vouches for the user.
int ClientProvider::beginSession(Connection& opened, const std::string& user,
                                 const std::string& password, const std::string& connect,
                                 ub4 privilege) {
    const auto allocate = [&](void** handle, ub4 type) {
        return checkEnvironment(opened, api().handleAlloc(m_environment, handle, type, 0, nullptr),
                                OraCode::NotLoggedOn, "OCIHandleAlloc");
    };
    const auto set = [&](void* handle, ub4 type, const void* value, ub4 size, ub4 attribute) {
        return check(
            opened,
            api().attrSet(handle, type, const_cast<void*>(value), size, attribute, opened.error),
            OraCode::NotLoggedOn, "OCIAttrSet");
    };
    int code = allocate(&opened.server, oci::HtypeServer);
    bool attached = false;
    if (code == 0) {
        code = check(opened,
                     api().serverAttach(opened.server, opened.error, asText(connect),
                                        static_cast<sb4>(connect.size()), oci::Default),
                     OraCode::NotLoggedOn, "OCIServerAttach");
        attached = code == 0;
    }
    if (code == 0) {
        code = allocate(&opened.service, oci::HtypeSvcctx);
    }
    if (code == 0) {
        code = set(opened.service, oci::HtypeSvcctx, opened.server, 0, oci::AttrServer);
    }
    if (code == 0) {
        code = allocate(&opened.session, oci::HtypeSession);
    }
    const bool external = user.empty() && password.empty();
    if (code == 0 && !external) {
        code =
            set(opened.session, oci::HtypeSession, user.c_str(), lengthOf(user), oci::AttrUsername);
        if (code == 0) {
            code = set(opened.session, oci::HtypeSession, password.c_str(), lengthOf(password),
                       oci::AttrPassword);
        }
    }
    sword begun = oci::Error;
    if (code == 0) {
        begun = api().sessionBegin(opened.service, opened.error, opened.session,
                                   external ? oci::CredExt : oci::CredRdbms, privilege);
        code = check(opened, begun, OraCode::NotLoggedOn, "OCISessionBegin");
    }
    if (code == 0) {
        // The warning is read before any other call can replace the error record.
        warningOf(opened, begun);
        code = set(opened.service, oci::HtypeSvcctx, opened.session, 0, oci::AttrSession);
        if (code != 0) {
            api().sessionEnd(opened.service, opened.error, opened.session, oci::Default);
        }
    }
    if (code != 0) {
        abandonSession(opened, attached);
        return code;
    }
    return 0;
}

// Undone in reverse; the failure's own text stays the one reported.
void ClientProvider::abandonSession(Connection& opened, bool attached) {
    const int failed = opened.lastCode;
    const std::string text = opened.lastText;
    if (attached) {
        api().serverDetach(opened.server, opened.error, oci::Default);
    }
    for (auto [handle, type] :
         {std::pair{opened.session, oci::HtypeSession}, std::pair{opened.service, oci::HtypeSvcctx},
          std::pair{opened.server, oci::HtypeServer}}) {
        if (handle != nullptr) {
            api().handleFree(handle, type);
        }
    }
    remember(opened, failed, text);
}

ClientProvider::ClientRelease ClientProvider::clientRelease() const {
    ClientRelease release;
    sword update = 0;
    sword patch = 0;
    sword port = 0;
    if (api().clientVersion != nullptr) {
        api().clientVersion(&release.major, &release.minor, &update, &patch, &port);
    }
    return release;
}

// One round trip per log-on; a release that cannot be read stays unknown, and the warning of the
// log-on stays the connection's last error.
void ClientProvider::readServerRelease(Connection& connection) {
    text buffer[kReleaseTextSize] = {};
    ub4 version = 0;
    const bool second = clientRelease().major >= oci::CallTimeoutRelease && api().serverRelease2;
    const sword status =
        second ? api().serverRelease2(connection.service, connection.error, buffer, sizeof buffer,
                                      oci::HtypeSvcctx, &version, oci::Default)
               : api().serverRelease(connection.service, connection.error, buffer, sizeof buffer,
                                     oci::HtypeSvcctx, &version);
    if (oci::succeeded(status)) {
        buffer[sizeof buffer - 1] = 0;
        connection.release = version;
        connection.banner = reinterpret_cast<const char*>(buffer);
    }
}

int ClientProvider::endSession(Connection& connection) {
    const int code = check(
        connection,
        api().sessionEnd(connection.service, connection.error, connection.session, oci::Default),
        OraCode::NotLoggedOn, "OCISessionEnd");
    api().serverDetach(connection.server, connection.error, oci::Default);
    api().handleFree(connection.session, oci::HtypeSession);
    api().handleFree(connection.service, oci::HtypeSvcctx);
    api().handleFree(connection.server, oci::HtypeServer);
    return code;
}

int ClientProvider::logoff(ub4 id) {
    Connection* connection = findConnection(id);
    if (connection == nullptr) {
        return OraCode::NotLoggedOn;
    }
    // Cursors still open, after a failed close or a dropped connection, go with it.
    {
        const std::scoped_lock shared(m_lock);
        for (auto it = m_cursors.begin(); it != m_cursors.end();) {
            if (it->second.connection == id) {
                api().handleFree(it->second.statement, oci::HtypeStmt);
                it = m_cursors.erase(it);
            } else {
                ++it;
            }
        }
    }
    const int code = endSession(*connection);
    // The session is released whatever the end reports, so the connection is gone either way.
    api().handleFree(connection->error, oci::HtypeError);
    const std::scoped_lock shared(m_lock);
    m_connections.erase(id);
    return code;
}

// The server handle's status is the client's own view, so asking costs no round trip; reading it
// leaves the connection's last error text as it was.
int ClientProvider::checkConnection(ub4 id) {
    Connection* connection = findConnection(id);
    if (connection == nullptr) {
        return OraCode::NotLoggedOn;
    }
    ub4 status = 0;
    const sword read = api().attrGet(connection->server, oci::HtypeServer, &status, nullptr,
                                     oci::AttrServerStatus, connection->error);
    return read == oci::Success && status == oci::ServerNormal ? 0 : OraCode::NotConnected;
}

ub4 ClientProvider::serverRelease(ub4 id, std::string& banner) {
    const Connection* connection = findConnection(id);
    if (connection == nullptr) {
        banner.clear();
        return 0;
    }
    banner = connection->banner;
    return connection->release;
}

// The limit needs release 18 of the client; an older one is said so, and calls go unlimited.
int ClientProvider::setCallTimeout(ub4 id, ub4 milliseconds) {
    Connection* connection = findConnection(id);
    if (connection == nullptr) {
        return OraCode::NotLoggedOn;
    }
    if (const ClientRelease client = clientRelease(); client.major < oci::CallTimeoutRelease) {
        const std::string release =
            api().clientVersion == nullptr
                ? std::string("of an unknown release")
                : "release " + std::to_string(client.major) + "." + std::to_string(client.minor);
        return remember(*connection, OraCode::IllegalAttribute,
                        oracleMessage(OraCode::IllegalAttribute) + "\nThe Oracle client library " +
                            m_library->file() + " is " + release +
                            "; a time limit on calls to the database needs release 18 or later, "
                            "so calls will wait as long as the database takes.");
    }
    ub4 value = milliseconds;
    return check(*connection,
                 api().attrSet(connection->service, oci::HtypeSvcctx, &value, sizeof value,
                               oci::AttrCallTimeout, connection->error),
                 OraCode::NotLoggedOn, "OCIAttrSet");
}
