#pragma once
// The provider for host strings "sim:<scenario>": the release-7 calls over the simulated
// instance, with the instance's planned failures, lost lines and round-trip count.

#include <chrono>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "OciProvider.h"
#include "Sim.h"

class SimProvider final : public OciProvider {
public:
    SimProvider();

    int logon(const std::string& user, const std::string& password, const std::string& connect,
              ub4 privilege, ub4& connection, int& warning, std::string& error) override;
    int checkConnection(ub4 connection) override;
    ub4 serverRelease(ub4 connection, std::string& banner) override;
    int setCallTimeout(ub4 connection, ub4 milliseconds) override;
    int logoff(ub4 connection) override;
    int open(ub4 connection, ub4& cursor) override;
    int parse(ub4 cursor, const std::string& sql, bool deferred) override;
    int define(ub4 cursor, sword position, const OciDefine& define) override;
    int exec(ub4 cursor, ub4& rpc) override;
    int fetch(ub4 cursor, ub4& rpc) override;
    int execFetch(ub4 cursor, ub4 rows, bool cancel, bool exact, ub4& rpc) override;
    int close(ub4 cursor) override;
    std::string message(ub4 connection, int code) override;

private:
    struct Session {
        std::unique_ptr<sim::Connection> connection;
        sim::OraError lastError;
        std::chrono::milliseconds callTimeout{0};  // 0: none
    };
    struct Statement {
        ub4 session = 0;
        std::unique_ptr<sim::Cursor> cursor;
        std::string sql;
        std::map<sword, OciDefine> defines;
        bool fetchable = false;  // an executed query whose rows are still to be fetched
        // Rows that came with the last round trip and wait for the fetches; whether that round
        // trip came short, so that no more rows follow.
        std::size_t prefetched = 0;
        bool endKnown = false;
        std::size_t next = 0;  // the row the next fetch delivers first
        ub4 rpc = 0;
    };

    Session* findSession(ub4 id);
    Statement* findStatement(ub4 id);
    int fail(Session& session, sim::OraError error);
    int fail(Session& session, int code);
    int planned(Session& session, sim::Call call);
    // A call the instance takes long over: given up on, as a lost connection, past the limit.
    int delayed(Session& session, sim::Call call);
    int checkState(Session& session);
    int begin(Session& session, sim::Call call);
    // One call on a cursor, a round trip when remote; rpc gets the cursor's rows processed after
    // it.
    template <typename Work>
    int exchange(ub4 cursor, sim::Call call, ub4& rpc, bool remote, Work work);
    int execute(Session& session, Statement& statement);
    // The rows that one round trip brings from the instance once the caller wants wanted of them.
    static void receive(Statement& statement, std::size_t wanted);
    int fetchRows(Session& session, Statement& statement, ub4 rows, bool exact);
    int checkPositions(const Statement& statement) const;

    // Connections of two threads reach the same instances: one call at a time.
    std::recursive_mutex m_lock;
    // Statements after sessions: a sim::Cursor must die before its connection.
    std::map<ub4, Session> m_sessions;
    std::map<ub4, Statement> m_statements;
    ub4 m_lastId = 0;
};
