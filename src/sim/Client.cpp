#include "Accounts.h"
#include "Instance.h"
#include "OraText.h"

namespace sim {

namespace {

// The user an administrative log-on's session belongs to.
std::string privilegeUser(Privilege privilege) {
    switch (privilege) {
        case Privilege::SysDba:
            return "SYS";
        case Privilege::SysOper:
            return "PUBLIC";
        case Privilege::SysBackup:
            return "SYSBACKUP";
        case Privilege::SysDg:
            return "SYSDG";
        case Privilege::SysKm:
            return "SYSKM";
        case Privilege::None:
            break;
    }
    return {};
}

}  // namespace

std::unique_ptr<Connection> Connection::logon(const std::string& user, const std::string& password,
                                              const std::string& scenario, OraError& error,
                                              Privilege privilege) {
    error = {};
    if (!user.empty() && password.empty()) {
        error = oraError(1005);
        return nullptr;
    }
    std::shared_ptr<Instance> instance = Controls::instance().instanceFor(scenario, error);
    if (!instance) {
        return nullptr;
    }
    const ScenarioSpec* defined = Controls::instance().definedScenario(scenario);
    const bool external = user.empty() && password.empty();
    const bool vouched = external && defined && defined->externalUser;
    std::string name = upperCase(vouched ? *defined->externalUser : user);
    if (!(external && privilege != Privilege::None)) {
        const Account* account = findAccount(name);
        if (!account || (!vouched && account->password != password)) {
            error = oraError(1017);
            return nullptr;
        }
        if (account->administrator != (privilege != Privilege::None)) {
            error = oraError(account->administrator ? 28009 : 1031);
            return nullptr;
        }
    }
    if (privilege != Privilege::None) {
        name = privilegeUser(privilege);
    }
    const int sid = instance->logon(name, Controls::instance().now());
    return std::unique_ptr<Connection>(new Connection(std::move(instance), name, sid));
}

Connection::Connection(std::shared_ptr<Instance> instance, std::string user, int sid)
    : m_instance(std::move(instance)), m_user(std::move(user)), m_sid(sid) {}

Connection::~Connection() {
    m_instance->logoff(m_sid, Controls::instance().now());
}

OraError Connection::state() const {
    if (m_lost)
        return oraError(3114);
    if (const int code = m_sid > 0 ? m_instance->endedWith(m_sid) : 0; code != 0)
        return oraError(code);
    return {};
}

void Connection::markLost() {
    m_lost = true;
}

const std::string& Connection::userName() const {
    return m_user;
}

Instance& Connection::instance() {
    return *m_instance;
}

ServerRelease Connection::serverRelease() const {
    return sim::serverRelease(m_instance->release());
}

Cursor::Cursor(Connection& connection) : m_connection(connection) {
    Controls::instance().cursorOpened();
}

Cursor::~Cursor() {
    Controls::instance().cursorClosed();
}

OraError Cursor::execute(const std::string& sql) {
    Controls& controls = Controls::instance();
    controls.logStatement(sql);
    m_isQuery = false;
    m_columns = 0;
    m_rows.clear();
    if (OraError error = m_connection.state(); !error.ok()) {
        return error;
    }
    QueryResult result = m_connection.m_instance->execute(sql, m_connection.m_user,
                                                          m_connection.m_sid, controls.now());
    m_isQuery = result.isQuery;
    m_columns = result.columns;
    m_rows = std::move(result.rows);
    return result.error;
}

}  // namespace sim
