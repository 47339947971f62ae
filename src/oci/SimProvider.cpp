#include "SimProvider.h"

#include <algorithm>
#include <iterator>

#include "OciMessages.h"

namespace {

sim::Controls& controls() {
    return sim::Controls::instance();
}

sim::Privilege privilegeOf(ub4 mode) {
    switch (mode) {
        case OciLogonMode::SysDba:
            return sim::Privilege::SysDba;
        case OciLogonMode::SysOper:
            return sim::Privilege::SysOper;
        case OciLogonMode::SysBackup:
            return sim::Privilege::SysBackup;
        case OciLogonMode::SysDg:
            return sim::Privilege::SysDg;
        case OciLogonMode::SysKm:
            return sim::Privilege::SysKm;
        default:
            return sim::Privilege::None;
    }
}

}  // namespace

SimProvider::SimProvider() {
    // Created first, Controls outlives this provider, whose cursors report to it as they close.
    controls();
}

template <typename Work>
int SimProvider::exchange(ub4 cursor, sim::Call call, ub4& rpc, bool remote, Work work) {
    Statement* statement = findStatement(cursor);
    if (statement == nullptr) {
        return OraCode::InvalidCursor;
    }
    Session& session = *findSession(statement->session);
    int code = begin(session, call);
    if (code == 0) {
        if (remote) {
            controls().roundTrip();
        }
        code = work(session, *statement);
    }
    rpc = statement->rpc;
    return code;
}

int SimProvider::logon(const std::string& user, const std::string& password,
                       const std::string& connect, ub4 privilege, ub4& connection, int& warning,
                       std::string& error) {
    const std::scoped_lock serial(m_lock);
    sim::OraError failure;
    if (auto code = controls().takeFailure(sim::Call::Logon)) {
        failure = sim::oraError(*code);
    } else {
        controls().roundTrip();
        if (auto session =
                sim::Connection::logon(user, password, connect, failure, privilegeOf(privilege))) {
            connection = ++m_lastId;
            sim::OraError notice = controls().takeLogonWarning();
            warning = notice.code;
            m_sessions[connection] = Session{std::move(session), std::move(notice), {}};
            return 0;
        }
    }
    error = failure.text;
    return failure.code;
}

int SimProvider::setCallTimeout(ub4 connection, ub4 milliseconds) {
    const std::scoped_lock serial(m_lock);
    Session* session = findSession(connection);
    if (session == nullptr) {
        return OraCode::NotLoggedOn;
    }
    session->callTimeout = std::chrono::milliseconds(milliseconds);
    return 0;
}

int SimProvider::checkConnection(ub4 connection) {
    const std::scoped_lock serial(m_lock);
    Session* session = findSession(connection);
    return session == nullptr ? OraCode::NotLoggedOn : session->connection->state().code;
}

ub4 SimProvider::serverRelease(ub4 connection, std::string& banner) {
    const std::scoped_lock serial(m_lock);
    Session* session = findSession(connection);
    if (session == nullptr) {
        banner.clear();
        return 0;
    }
    sim::ServerRelease release = session->connection->serverRelease();
    banner = std::move(release.banner);
    return release.version;
}

int SimProvider::logoff(ub4 connection) {
    const std::scoped_lock serial(m_lock);
    Session* session = findSession(connection);
    if (session == nullptr) {
        return OraCode::NotLoggedOn;
    }
    if (int code = planned(*session, sim::Call::Logoff)) {
        return code;
    }
    // A lost connection still releases everything; the caller learns why it failed.
    const int code = session->connection->state().code;
    if (code == 0) {
        controls().roundTrip();
    }
    std::erase_if(m_statements,
                  [&](const auto& entry) { return entry.second.session == connection; });
    m_sessions.erase(connection);
    return code;
}

int SimProvider::open(ub4 connection, ub4& cursor) {
    const std::scoped_lock serial(m_lock);
    Session* session = findSession(connection);
    if (session == nullptr) {
        return OraCode::NotLoggedOn;
    }
    if (int code = begin(*session, sim::Call::Open)) {
        return code;
    }
    cursor = ++m_lastId;
    Statement& statement = m_statements[cursor];
    statement.session = connection;
    statement.cursor = std::make_unique<sim::Cursor>(*session->connection);
    return 0;
}

int SimProvider::parse(ub4 cursor, const std::string& sql, bool) {
    const std::scoped_lock serial(m_lock);
    Statement* statement = findStatement(cursor);
    if (statement == nullptr) {
        return OraCode::InvalidCursor;
    }
    if (int code = begin(*findSession(statement->session), sim::Call::Parse)) {
        return code;
    }
    // The instance has no parse-only step: every parse is deferred to the execute.
    statement->sql = sql;
    statement->defines.clear();
    statement->fetchable = false;
    return 0;
}

int SimProvider::define(ub4 cursor, sword position, const OciDefine& define) {
    const std::scoped_lock serial(m_lock);
    Statement* statement = findStatement(cursor);
    if (statement == nullptr) {
        return OraCode::InvalidCursor;
    }
    Session& session = *findSession(statement->session);
    if (int code = begin(session, sim::Call::Define)) {
        return code;
    }
    if (int code = checkDefine(define)) {
        return fail(session, code);
    }
    statement->defines[position] = define;
    return 0;
}

int SimProvider::exec(ub4 cursor, ub4& rpc) {
    const std::scoped_lock serial(m_lock);
    return exchange(cursor, sim::Call::Exec, rpc, true,
                    [&](Session& session, Statement& statement) {
                        const int code = execute(session, statement);
                        if (code == 0 && statement.fetchable) {
                            receive(statement, 0);
                        }
                        return code;
                    });
}

// The first rows of a query came back with its execute, as many as the client prefetches; a
// fetch past them is a round trip that brings the next ones.
int SimProvider::fetch(ub4 cursor, ub4& rpc) {
    const std::scoped_lock serial(m_lock);
    Statement* known = findStatement(cursor);
    // A fetch out of sequence is the client's own answer.
    const bool remote =
        known != nullptr && known->fetchable && known->prefetched == 0 && !known->endKnown;
    return exchange(cursor, sim::Call::Fetch, rpc, remote,
                    [&](Session& session, Statement& statement) {
                        if (remote) {
                            receive(statement, 1);
                        }
                        if (statement.prefetched > 0) {
                            --statement.prefetched;
                        }
                        return fetchRows(session, statement, 1, false);
                    });
}

void SimProvider::receive(Statement& statement, std::size_t wanted) {
    const std::size_t batch = std::max<std::size_t>(wanted, kPrefetchRows);
    const std::size_t remaining = statement.cursor->rowCount() - statement.next;
    statement.prefetched = std::min(batch, remaining);
    statement.endKnown = remaining < batch;
}

int SimProvider::execFetch(ub4 cursor, ub4 rows, bool cancel, bool exact, ub4& rpc) {
    const std::scoped_lock serial(m_lock);
    return exchange(cursor, sim::Call::ExecFetch, rpc, true,
                    [&](Session& session, Statement& statement) {
                        int code = execute(session, statement);
                        if (code == 0 && statement.fetchable) {
                            code = fetchRows(session, statement, rows, exact);
                        }
                        if (cancel) {
                            statement.fetchable = false;
                        }
                        return code;
                    });
}

int SimProvider::close(ub4 cursor) {
    const std::scoped_lock serial(m_lock);
    Statement* statement = findStatement(cursor);
    if (statement == nullptr) {
        return OraCode::InvalidCursor;
    }
    Session& session = *findSession(statement->session);
    if (int code = planned(session, sim::Call::Close)) {
        return code;
    }
    // Closing on a lost connection still frees the cursor.
    const int code = checkState(session);
    m_statements.erase(cursor);
    return code;
}

std::string SimProvider::message(ub4 connection, int code) {
    const std::scoped_lock serial(m_lock);
    const Session* session = findSession(connection);
    if (session != nullptr && session->lastError.code == code) {
        return session->lastError.text;
    }
    return oracleMessage(code);
}

SimProvider::Session* SimProvider::findSession(ub4 id) {
    auto found = m_sessions.find(id);
    return found == m_sessions.end() ? nullptr : &found->second;
}

SimProvider::Statement* SimProvider::findStatement(ub4 id) {
    auto found = m_statements.find(id);
    return found == m_statements.end() ? nullptr : &found->second;
}

int SimProvider::fail(Session& session, sim::OraError error) {
    if (sim::isConnectionLost(error.code)) {
        session.connection->markLost();
    }
    session.lastError = std::move(error);
    return session.lastError.code;
}

int SimProvider::fail(Session& session, int code) {
    return fail(session, {code, oracleMessage(code)});
}

int SimProvider::planned(Session& session, sim::Call call) {
    if (auto code = controls().takeFailure(call)) {
        return fail(session, sim::oraError(*code));
    }
    return 0;
}

int SimProvider::checkState(Session& session) {
    sim::OraError state = session.connection->state();
    return state.ok() ? 0 : fail(session, std::move(state));
}

int SimProvider::begin(Session& session, sim::Call call) {
    if (int code = planned(session, call)) {
        return code;
    }
    if (int code = delayed(session, call)) {
        return code;
    }
    return checkState(session);
}

int SimProvider::delayed(Session& session, sim::Call call) {
    const auto delay = controls().takeDelay(call);
    if (!delay) {
        return 0;
    }
    // The client gives up once the limit has passed, and its cleanup may leave the connection
    // usable; a call within the limit ends that much later on the instance's clock, without the
    // caller waiting for real.
    if (session.callTimeout.count() > 0 && delay->duration > session.callTimeout) {
        if (delay->survivesTimeout) {
            session.lastError = sim::oraError(sim::kCallTimedOut);
            return sim::kCallTimedOut;
        }
        return fail(session, sim::kCallTimedOut);
    }
    controls().advanceClock(
        std::chrono::duration_cast<std::chrono::seconds>(delay->duration).count());
    return 0;
}

int SimProvider::execute(Session& session, Statement& statement) {
    statement.fetchable = false;
    statement.prefetched = 0;
    statement.endKnown = false;
    statement.next = 0;
    statement.rpc = 0;
    sim::OraError error = statement.cursor->execute(statement.sql);
    if (!error.ok()) {
        return fail(session, std::move(error));
    }
    if (!statement.cursor->isQuery()) {
        return 0;
    }
    if (int code = checkPositions(statement)) {
        return fail(session, code);
    }
    statement.fetchable = true;
    return 0;
}

int SimProvider::fetchRows(Session& session, Statement& statement, ub4 rows, bool exact) {
    if (!statement.fetchable) {
        return fail(session, OraCode::FetchOutOfSequence);
    }
    if (int code = checkPositions(statement)) {
        return fail(session, code);
    }
    const sim::Cursor& cursor = *statement.cursor;
    for (ub4 element = 0; element < rows; ++element) {
        if (statement.next == cursor.rowCount()) {
            return fail(session, OraCode::NoData);
        }
        const sim::Row& row = cursor.row(statement.next);
        for (const auto& [position, define] : statement.defines) {
            if (int code = deliverValue(define, element, row[std::size_t(position) - 1])) {
                return fail(session, code);
            }
        }
        ++statement.next;
        ++statement.rpc;
    }
    if (exact && statement.next < cursor.rowCount()) {
        return fail(session, OraCode::TooManyRows);
    }
    return 0;
}

int SimProvider::checkPositions(const Statement& statement) const {
    if (statement.defines.empty()) {
        return 0;
    }
    const bool inList =
        statement.defines.begin()->first >= 1 &&
        std::prev(statement.defines.end())->first <= statement.cursor->columnCount();
    return inList ? 0 : OraCode::NotInSelectList;
}
