// ClientProvider's sessions: log-on with a password or by external authentication, its warning,
// the call time limit, and the log-off.

#include <string>

#include "ClientProvider.h"
#include "OciMessages.h"

namespace {

const text* asText(const std::string& s) {
    return reinterpret_cast<const text*>(s.c_str());
}

ub4 lengthOf(const std::string& s) {
    return static_cast<ub4>(s.size());
}

}  // namespace

int ClientProvider::logon(const std::string& user, const std::string& password,
                          const std::string& connect, ub4& connection, int& warning,
                          std::string& error) {
    if (int code = prepareLibrary(error)) {
        return code;
    }
    Connection opened;
    const sword status =
        api().handleAlloc(m_environment, &opened.error, oci::HtypeError, 0, nullptr);
    if (int code = checkEnvironment(opened, status, OraCode::NoInterfaceDriver)) {
        error = opened.lastText;
        return code;
    }
    // No user name and no password: a wallet or the operating system vouches for the user.
    const bool external = user.empty() && password.empty();
    const int code = external ? logonExternally(opened, connect)
                              : logonWithPassword(opened, user, password, connect);
    if (code != 0) {
        api().handleFree(opened.error, oci::HtypeError);
        error = opened.lastText;
        return code;
    }
    warning = opened.lastCode;
    connection = ++m_lastId;
    m_connections[connection] = std::move(opened);
    return 0;
}

int ClientProvider::warningOf(Connection& connection, sword status) {
    connection.lastCode = 0;
    if (status != oci::SuccessWithInfo) {
        return 0;
    }
    return diagnose(connection, connection.error, oci::HtypeError, 0);
}

// An empty connect string reaches the local default database.
int ClientProvider::logonWithPassword(Connection& opened, const std::string& user,
                                      const std::string& password, const std::string& connect) {
    const sword status = api().logon2(m_environment, opened.error, &opened.service, asText(user),
                                      lengthOf(user), asText(password), lengthOf(password),
                                      asText(connect), lengthOf(connect), oci::Default);
    if (int code = check(opened, status, OraCode::NotLoggedOn)) {
        return code;
    }
    warningOf(opened, status);
    return 0;
}

int ClientProvider::logonExternally(Connection& opened, const std::string& connect) {
    const auto allocate = [&](void** handle, ub4 type) {
        return checkEnvironment(opened, api().handleAlloc(m_environment, handle, type, 0, nullptr),
                                OraCode::NotLoggedOn);
    };
    int code = allocate(&opened.server, oci::HtypeServer);
    bool attached = false;
    if (code == 0) {
        code = check(opened,
                     api().serverAttach(opened.server, opened.error, asText(connect),
                                        static_cast<sb4>(connect.size()), oci::Default),
                     OraCode::NotLoggedOn);
        attached = code == 0;
    }
    if (code == 0) {
        code = allocate(&opened.service, oci::HtypeSvcctx);
    }
    if (code == 0) {
        code = check(opened,
                     api().attrSet(opened.service, oci::HtypeSvcctx, opened.server, 0,
                                   oci::AttrServer, opened.error),
                     OraCode::NotLoggedOn);
    }
    if (code == 0) {
        code = allocate(&opened.session, oci::HtypeSession);
    }
    sword begun = oci::Error;
    if (code == 0) {
        begun = api().sessionBegin(opened.service, opened.error, opened.session, oci::CredExt,
                                   oci::Default);
        code = check(opened, begun, OraCode::NotLoggedOn);
    }
    if (code == 0) {
        code = check(opened,
                     api().attrSet(opened.service, oci::HtypeSvcctx, opened.session, 0,
                                   oci::AttrSession, opened.error),
                     OraCode::NotLoggedOn);
        if (code != 0) {
            api().sessionEnd(opened.service, opened.error, opened.session, oci::Default);
        }
    }
    if (code != 0) {
        // Undone in reverse; the failure's own text stays the one reported.
        const int failed = opened.lastCode;
        const std::string text = opened.lastText;
        if (attached) {
            api().serverDetach(opened.server, opened.error, oci::Default);
        }
        for (auto [handle, type] : {std::pair{opened.session, oci::HtypeSession},
                                    std::pair{opened.service, oci::HtypeSvcctx},
                                    std::pair{opened.server, oci::HtypeServer}}) {
            if (handle != nullptr) {
                api().handleFree(handle, type);
            }
        }
        remember(opened, failed, text);
        return code;
    }
    warningOf(opened, begun);
    return 0;
}

int ClientProvider::endSession(Connection& connection) {
    if (connection.session == nullptr) {
        return check(connection, api().logoff(connection.service, connection.error),
                     OraCode::NotLoggedOn);
    }
    const int code = check(
        connection,
        api().sessionEnd(connection.service, connection.error, connection.session, oci::Default),
        OraCode::NotLoggedOn);
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
    for (auto it = m_cursors.begin(); it != m_cursors.end();) {
        if (it->second.connection == id) {
            api().handleFree(it->second.statement, oci::HtypeStmt);
            it = m_cursors.erase(it);
        } else {
            ++it;
        }
    }
    const int code = endSession(*connection);
    // The session is released whatever the end reports, so the connection is gone either way.
    api().handleFree(connection->error, oci::HtypeError);
    m_connections.erase(id);
    return code;
}

// The limit needs release 18 of the client; an older one is said so, and calls go unlimited.
int ClientProvider::setCallTimeout(ub4 id, ub4 milliseconds) {
    Connection* connection = findConnection(id);
    if (connection == nullptr) {
        return OraCode::NotLoggedOn;
    }
    sword major = 0;
    sword minor = 0;
    sword update = 0;
    sword patch = 0;
    sword port = 0;
    if (api().clientVersion != nullptr) {
        api().clientVersion(&major, &minor, &update, &patch, &port);
    }
    if (major < oci::CallTimeoutRelease) {
        const std::string release =
            api().clientVersion == nullptr
                ? std::string("of an unknown release")
                : "release " + std::to_string(major) + "." + std::to_string(minor);
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
                 OraCode::NotLoggedOn);
}
