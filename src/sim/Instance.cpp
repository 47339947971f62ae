#include "Instance.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "Accounts.h"
#include "Activity.h"
#include "OraText.h"
#include "Plans.h"

namespace sim {

namespace {

constexpr std::int64_t kTickSeconds = 5;
// A clock that jumps far ahead replays at most this many ticks of life.
constexpr std::int64_t kMaxTicks = 720;
// A killed session is cleaned up once this much time has passed.
constexpr std::int64_t kCleanupSeconds = 1;

std::string hostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
        return "localhost";
    }
    return std::string(name).substr(0, 64);
}

std::string osUser() {
    const char* user = std::getenv("USER");
    return user && *user ? user : "nimbra";
}

}  // namespace

Instance::Instance(const ScenarioSpec& setup, bool living, std::uint32_t seed, std::int64_t now)
    : m_release(setup.release),
      m_databaseName(upperCase(setup.databaseName)),
      m_instanceNames(instanceNamesOf(setup)),
      m_logonContainer(setup.containers.empty() ? 0 : setup.logonContainer),
      m_store(setup.release),
      m_listOwn(setup.listOwnSessions),
      m_living(living),
      m_seed(seed),
      m_rng(~static_cast<std::uint64_t>(seed)),
      m_clock(now),
      m_lastTick(now / kTickSeconds) {
    if (m_release.major >= 12) {
        m_containerName = m_logonContainer == 0 ? m_databaseName : std::string("CDB$ROOT");
        for (const ContainerSpec& container : setup.containers) {
            if (container.id == m_logonContainer)
                m_containerName = container.name;
        }
    }
    m_store.begin();
    for (const SessionSpec& session : setup.sessions) {
        m_store.add(session, false);
    }
    m_store.linkBlockers(now);
    for (const LongOpSpec& op : setup.longOps) {
        m_store.addLongOp(op, now);
    }
    m_store.createTopology(setup, hostName());
    m_store.commit();
    m_nextSid = m_store.nextSid();
    m_lockStorms = living && setup.lockStorms;
}

int Instance::logon(const std::string& user, std::int64_t now) {
    catchUp(now);
    if (!m_listOwn) {
        return 0;
    }
    SessionSpec own;
    own.username = user;
    own.sid = m_nextSid++;
    own.serial = 1 + m_rng.below(65535);
    own.status = "ACTIVE";
    own.osuser = osUser();
    own.machine = hostName();
    own.program = "nimbra";
    own.logonTime = now;
    own.schemaname = user;
    own.process = std::to_string(getpid());
    own.container = m_logonContainer;
    return m_store.add(own, true);
}

void Instance::logoff(int sid, std::int64_t now) {
    if (sid > 0) {
        m_store.remove(sid, now);
    }
}

QueryResult Instance::execute(const std::string& sql, const std::string& user, int ownSid,
                              std::int64_t now) {
    catchUp(now);
    if (ownSid > 0) {
        m_store.startCall(ownSid, now);
    }
    const Account* account = findAccount(user);
    const Statement statement = translate(sql, account ? account->rights : ViewRights{});
    switch (statement.kind) {
        case Statement::Kind::Error:
            return QueryResult::failed(statement.error);
        case Statement::Kind::NoOp:
            return {};
        case Statement::Kind::Kill:
            return QueryResult::failed(endSession(statement, account && account->mayKill, ownSid));
        case Statement::Kind::Plan:
            return plan(statement, account ? account->rights : ViewRights{});
        case Statement::Kind::Query:
            break;
    }
    QueryResult result = m_store.query(statement.sqlite, clientContext(account, user, ownSid, now));
    if (result.error.ok() && statement.countsSessions) {
        addUserSessions(Controls::instance().takeSessionsAfterCount());
    }
    return result;
}

// DISPLAY_CURSOR came with release 10; it runs with its caller's rights and says so, in lines of
// its own, when they are not enough.
QueryResult Instance::plan(const Statement& statement, const ViewRights& rights) {
    if (m_release.major < 10)
        return QueryResult::failed(
            {904, R"(ORA-00904: "DBMS_XPLAN"."DISPLAY_CURSOR": invalid identifier)"});
    const std::vector<std::string> lines =
        !rights.session   ? missingPrivilege("V$SESSION")
        : !rights.catalog ? missingPrivilege("V$SQL_PLAN")
                          : displayCursor(statement.planSqlId, statement.planChild,
                                          m_store.sqlTextOf(1, statement.planSqlId));
    QueryResult result;
    result.isQuery = true;
    result.columns = 1;
    for (const std::string& line : lines) {
        // An empty line is NULL, as every empty string is.
        result.rows.push_back({line.empty() ? Value() : Value(line)});
    }
    return result;
}

// Clients log on to the first instance.
ClientContext Instance::clientContext(const Account* account, const std::string& user, int ownSid,
                                      std::int64_t now) const {
    return {account->rights, ownSid, 1,  m_logonContainer, m_instanceNames.front(), m_databaseName,
            m_containerName, user,   now};
}

int Instance::endedWith(int sid) const {
    const auto it = m_ended.find(sid);
    return it == m_ended.end() ? 0 : it->second;
}

// The checks run in the server's order: the statement, the privilege, the id, the session.
OraError Instance::refusal(const Statement& statement, bool mayAlterSystem, int ownSid) {
    const EndSession how = statement.how;
    const bool disconnect =
        how == EndSession::DisconnectAfterWork || how == EndSession::DisconnectNow;
    if ((how == EndSession::CancelSql && m_release.major < 18) ||
        (disconnect && m_release.major < 9))
        return oraError(2065);
    if (how == EndSession::KillImmediate && m_release.major < 8)
        return oraError(933);
    if (!mayAlterSystem)
        return oraError(1031);
    const std::optional<KillTarget>& target = statement.target;
    if (!target || (target->instance && m_release.major < 11))
        return oraError(26);
    // The instance named must be one of the cluster's; none names the client's own.
    const int instance = target->instance.value_or(1);
    const LiveSession* session = instance >= 1 && instance <= int(m_instanceNames.size())
                                     ? m_store.find(sessionKey(instance, target->sid))
                                     : nullptr;
    if (!session || session->serial != target->serial)
        return oraError(30);
    if (!session->user)
        return oraError(29);
    if (sessionKey(instance, target->sid) == ownSid)
        return oraError(27);
    if (session->killedAt && how != EndSession::KillImmediate)
        return oraError(31);
    return {};
}

OraError Instance::endSession(const Statement& statement, bool mayAlterSystem, int ownSid) {
    if (OraError refused = refusal(statement, mayAlterSystem, ownSid); !refused.ok())
        return refused;
    const int sid = sessionKey(statement.target->instance.value_or(1), statement.target->sid);
    LiveSession* session = m_store.find(sid);
    switch (statement.how) {
        case EndSession::KillImmediate:
            end(sid, 28);
            return {};
        case EndSession::DisconnectAfterWork:
            if (session->transaction) {
                session->disconnectAfterWork = true;
                return {};
            }
            [[fallthrough]];
        case EndSession::DisconnectNow:
            end(sid, 3113);
            return {};
        case EndSession::CancelSql:
            // An idle session has no call to stop; the server says nothing of it.
            if (session->status == "ACTIVE" && !session->own &&
                (statement.target->sqlId.empty() || statement.target->sqlId == session->sqlId)) {
                m_store.cancelCall(sid, m_clock);
            }
            return {};
        case EndSession::Kill:
            break;
    }
    // A session in the middle of a call cannot go at once: the server marks it and says so.
    const bool busy = session->status == "ACTIVE" && !session->own;
    m_store.setStatus(sid, "KILLED", m_clock);
    session->killedAt = m_clock;
    m_ended.emplace(sid, 28);
    m_dying.push_back(sid);
    return busy ? oraError(31) : OraError{};
}

void Instance::end(int sid, int clientCode) {
    m_ended.emplace(sid, clientCode);
    std::erase(m_dying, sid);
    m_store.begin();
    m_store.remove(sid, m_clock);
    m_store.commit();
}

// Sessions asked to disconnect after their transaction go once it has ended.
void Instance::endDisconnected(std::int64_t at) {
    std::vector<int> done;
    for (const auto& [sid, session] : m_store.sessions()) {
        if (session.disconnectAfterWork && !session.transaction)
            done.push_back(sid);
    }
    for (int sid : done) {
        m_ended.emplace(sid, 3113);
        m_store.remove(sid, at);
    }
}

void Instance::addUserSessions(int count) {
    if (count <= 0) {
        return;
    }
    m_store.begin();
    for (int i = 0; i < count; ++i) {
        SessionSpec session = randomUserSession(m_rng, m_nextSid++, m_clock, m_clock);
        session.container = m_logonContainer;
        m_store.add(session, false);
    }
    m_store.commit();
}

void Instance::catchUp(std::int64_t now) {
    m_clock = now;
    std::vector<int> cleaned;
    for (int sid : m_dying) {
        const LiveSession* session = m_store.find(sid);
        if (!session || now - *session->killedAt >= kCleanupSeconds) {
            cleaned.push_back(sid);
        }
    }
    const std::int64_t target = now / kTickSeconds;
    const bool ticking = m_living || m_store.hasLongOps();
    if (cleaned.empty() && (!ticking || target <= m_lastTick)) {
        return;
    }
    m_store.begin();
    for (int sid : cleaned) {
        m_store.remove(sid, now);
        std::erase(m_dying, sid);
    }
    if (ticking) {
        for (std::int64_t k = std::max(m_lastTick + 1, target - kMaxTicks + 1); k <= target; ++k) {
            if (m_living)
                tick(k);
            m_store.advanceLongOps(k * kTickSeconds);
        }
        m_lastTick = std::max(m_lastTick, target);
    }
    m_store.commit();
}

// One step of life: some sessions change status, now and then one leaves or a new one arrives.
// What they wait on is drawn apart, so that the statuses follow the seed as they always have.
void Instance::tick(std::int64_t index) {
    const std::uint64_t key =
        (static_cast<std::uint64_t>(m_seed) << 32) ^ static_cast<std::uint64_t>(index);
    Rng rng(key);
    Rng waits(~key);
    const std::int64_t at = index * kTickSeconds;
    if (m_lockStorms)
        stirActivity(index, at);
    std::vector<int> users;
    for (const auto& [sid, session] : m_store.sessions()) {
        if (session.user && !session.own && !session.killedAt && !m_store.inLockChain(sid) &&
            !m_store.runsLongOp(sid)) {
            users.push_back(sid);
        }
    }
    for (int sid : users) {
        // About a quarter of the sessions are busy at any time.
        const bool active = m_store.find(sid)->status == "ACTIVE";
        if (!rng.chance(active ? 24 : 8)) {
            if (active && waits.chance(40))
                m_store.setWait(sid, busyWait(waits, m_store.find(sid)->work, at));
            continue;
        }
        m_store.setStatus(sid, active ? "INACTIVE" : "ACTIVE", at);
        if (!active && rng.chance(60)) {
            m_store.setSql(sid, randomStatement(rng), at);
        }
        m_store.setWait(sid, active ? idleWait(at, waits.below(1000000))
                                    : busyWait(waits, m_store.find(sid)->work, at));
    }
    m_store.restartBackgroundWaits(at);
    const int size = static_cast<int>(users.size());
    if (size > 32 && rng.chance(6)) {
        m_store.remove(users[static_cast<std::size_t>(rng.below(size))], at);
    }
    if (size < 48 && rng.chance(6)) {
        SessionSpec session = randomUserSession(rng, m_nextSid++, at, at);
        session.container = m_logonContainer;
        m_store.add(session, false);
    }
    endDisconnected(at);
}

}  // namespace sim
