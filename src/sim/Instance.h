#pragma once
// A running instance of one scenario: its sessions, its clock and the statements it answers.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "Scenarios.h"
#include "Sim.h"
#include "Store.h"

namespace sim {

class Instance {
public:
    // living: sessions change as the clock passes, the same way for the same seed.
    Instance(const ScenarioSpec& setup, bool living, std::uint32_t seed, std::int64_t now);

    // The session a log-on of user adds when the scenario lists its clients; 0 when none.
    int logon(const std::string& user, std::int64_t now);
    void logoff(int sid, std::int64_t now);
    // What the client of an ended session hears from then on: ORA-00028 after a kill,
    // ORA-03113 after a disconnect; 0 while it lives.
    int endedWith(int sid) const;

    // Runs one statement for user, whose own session is ownSid.
    QueryResult execute(const std::string& sql, const std::string& user, int ownSid,
                        std::int64_t now);
    const Release& release() const { return m_release; }

private:
    void catchUp(std::int64_t now);
    void tick(std::int64_t index);
    OraError endSession(const Statement& statement, bool mayAlterSystem, int ownSid);
    QueryResult plan(const Statement& statement, const ViewRights& rights);
    OraError refusal(const Statement& statement, bool mayAlterSystem, int ownSid);
    // Ends the session now, its transaction rolled back and its locks released.
    void end(int sid, int clientCode);
    void endDisconnected(std::int64_t at);
    void addUserSessions(int count);
    // The demo's weather: a lock storm every few minutes, short bursts of CPU and I/O work.
    void stirActivity(std::int64_t index, std::int64_t at);
    void growLockStorm(Rng& rng, std::int64_t at);
    void endLockStorm(std::int64_t at);
    // Two idle sessions start the statement.
    void startWork(Rng& rng, const char* sqlText, std::int64_t at);
    // The user sessions that sit idle outside any lock chain, by sid.
    std::vector<int> idleUsers() const;

    ClientContext clientContext(const struct Account* account, const std::string& user, int ownSid,
                                std::int64_t now) const;

    Release m_release;
    std::string m_databaseName;
    std::vector<std::string> m_instanceNames;
    // The container clients log on to; 0 outside a container database.
    int m_logonContainer;
    // What SYS_CONTEXT's CON_NAME says there; empty before container databases came.
    std::string m_containerName;
    Store m_store;
    bool m_listOwn;
    bool m_living;
    std::uint32_t m_seed;
    Rng m_rng;
    std::int64_t m_clock;
    std::int64_t m_lastTick;
    int m_nextSid;               // never reused, so a killed sid stays killed
    std::map<int, int> m_ended;  // sid -> what its client hears
    std::vector<int> m_dying;    // killed, not yet cleaned up
    bool m_lockStorms = false;
    int m_stormHolder = 0;  // the session holding the storm's hot row; 0 between storms
};

}  // namespace sim
