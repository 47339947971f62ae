#pragma once
// The instance's two views over tables of an in-memory SQLite database, with a mirror of what
// the instance itself needs to know about each session.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Activity.h"
#include "Sim.h"
#include "Translate.h"

struct sqlite3;
struct sqlite3_stmt;

namespace sim {

// Sessions of every instance of a cluster share one table and one map; a session's key folds its
// instance into its SID, and is its SID on the first instance.
inline constexpr int kInstanceSpan = 1000000;
constexpr int sessionKey(int instance, int sid) {
    return (instance - 1) * kInstanceSpan + sid;
}
constexpr int instanceOf(int key) {
    return key / kInstanceSpan + 1;
}
constexpr int sidOf(int key) {
    return key % kInstanceSpan;
}

struct LiveSession {
    int serial = 0;
    int instance = 1;
    bool user = true;  // type USER, not BACKGROUND
    bool own = false;  // the session of a client connection
    std::string status;
    std::string sqlAddress;  // empty: no statement
    std::optional<std::int64_t> killedAt;
    Work work = Work::None;
    Wait wait;
    int blocker = 0;           // the session holding the row it waits for; 0: none
    std::string sqlId;         // of the statement at sqlAddress
    bool transaction = false;  // TADDR names an open transaction
    // DISCONNECT SESSION ... POST_TRANSACTION was asked: it ends with its transaction.
    bool disconnectAfterWork = false;
};

struct QueryResult {
    OraError error;
    bool isQuery = false;
    int columns = 0;
    std::vector<Row> rows;

    static QueryResult failed(OraError error) {
        QueryResult result;
        result.error = std::move(error);
        return result;
    }
};

// Who runs a statement and when: the views it may read, what SYS_CONTEXT('USERENV', ...)
// answers, and the time the views' clock columns count to.
struct ClientContext {
    ViewRights rights;
    int sid = 0;
    // The instance and container the client is logged on to, and their names.
    int instance = 1;
    int container = 0;
    std::string instanceName;
    std::string databaseName;
    std::string containerName;
    std::string user;
    std::int64_t now = 0;
};

class Store {
public:
    explicit Store(const Release& release);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Adds the session with the fields it leaves open filled in; a sid of 0 or less takes the
    // next free one. Returns the sid. Call linkBlockers once a scenario's sessions are in.
    int add(const SessionSpec& session, bool own);
    // A session that goes releases the sessions waiting for it at now.
    void remove(int sid, std::int64_t now);
    void setStatus(int sid, const std::string& status, std::int64_t at);
    void setWait(int sid, const Wait& wait);
    // A statement that changes data opens a transaction at, any other ends it.
    void setSql(int sid, const std::optional<std::string>& sqlText, std::int64_t at);
    // CANCEL SQL: the call stops and the session waits for its client; its transaction stays.
    void cancelCall(int sid, std::int64_t at);
    // The background processes' idle waits begin again, as their timers do.
    void restartBackgroundWaits(std::int64_t at);
    // A client's own session starts a call on CPU.
    void startCall(int sid, std::int64_t at);
    const std::map<int, LiveSession>& sessions() const { return m_sessions; }
    LiveSession* find(int sid);
    // The next free key of the first instance, where new sessions log on.
    int nextSid() const;

    // A V$TRANSACTION row for the session from since, once; undo is nullopt: a small one.
    void openTransaction(int sid, std::int64_t since, std::optional<int> undoRecords = {},
                         std::optional<int> undoBlocks = {});
    void closeTransaction(int sid);

    // Points each waiter at the end of its chain of holders and puts every holder in a
    // transaction; a waiter whose holder is gone goes on at now.
    void linkBlockers(std::int64_t now);
    // The session starts to wait at for a row that holder's transaction holds.
    void block(int sid, int holder, std::int64_t at);
    // The holder's transaction ends at: the sessions waiting for it go on on CPU.
    void release(int holder, std::int64_t at);
    // Waiters and holders stay as they are until the lock goes.
    bool inLockChain(int sid) const;

    // A long operation of a listed session, as of now; one of a session not listed is dropped.
    void addLongOp(const LongOpSpec& planned, std::int64_t now);
    // One tick of the long operations' work at time at.
    void advanceLongOps(std::int64_t at);
    bool hasLongOps() const { return !m_longOps.empty(); }
    // The session's work is not done: it stays in its call.
    bool runsLongOp(int sid) const;
    // The statement of that SQL_ID in the instance's shared pool; nullopt when it is not there.
    std::optional<std::string> sqlTextOf(int instance, const std::string& sqlId);

    // GV$INSTANCE and V$CONTAINERS of the scenario, and what createDatabase makes.
    void createTopology(const ScenarioSpec& setup, const std::string& hostName);
    // V$DATABASE, V$PARAMETER and V$OSSTAT of the instance clients log on to.
    void createDatabase(const ScenarioSpec& setup, const std::string& instanceName);

    // Groups many changes into one transaction.
    void begin();
    void commit();

    // Runs a client's query.
    QueryResult query(const std::string& sql, const ClientContext& client);

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* statement) const;
    };
    using Prepared = std::unique_ptr<sqlite3_stmt, Finalizer>;

    struct LongOp {
        LongOpSpec planned;
        int session;  // its key
        int row;      // INDX in X$KSULOP
        int serial;
        std::int64_t lastUpdate;
    };

    void createLongOps(const Release& release);
    void updateLongOp(LongOp& op, std::int64_t at);
    Prepared prepare(const std::string& sql);
    void exec(const std::string& sql);
    void run(const Prepared& statement);
    template <typename... Values>
    void run(const Prepared& statement, const Values&... values);
    // Binds address, hash value and sql_id of the text from column on; stores its pieces on
    // first use and returns the address.
    std::string useSql(const std::string& text, sqlite3_stmt* statement, int column,
                       LiveSession& session);
    void updateSql(int sid, LiveSession& live, const std::optional<std::string>& sqlText);
    void releaseSql(int instance, const std::string& address);
    void setBlockers(int sid, int blocker, int finalBlocker);
    OraError clientError(const std::string& message) const;
    static int authorize(void* self, int action, const char* a, const char* b, const char* db,
                         const char* view);

    sqlite3* m_db = nullptr;
    bool m_sqlIds = true;  // the release's V$SQLTEXT has SQL_ID
    Prepared m_insertSession;
    Prepared m_deleteSession;
    Prepared m_updateStatus;
    Prepared m_updateWait;
    Prepared m_updateSql;
    Prepared m_updateBlockers;
    Prepared m_updateTransaction;
    Prepared m_insertTransaction;
    Prepared m_deleteTransaction;
    Prepared m_restartWaits;
    Prepared m_startCall;
    Prepared m_insertPiece;
    Prepared m_deletePieces;
    Prepared m_insertLongOp;
    Prepared m_updateLongOp;
    Prepared m_deleteLongOp;
    Prepared m_sqlTextById;
    std::vector<LongOp> m_longOps;
    int m_nextLongOp = 1;
    std::map<int, LiveSession> m_sessions;
    std::set<int> m_waiters;  // sessions with a blocker
    // (instance, address) -> sessions running it: each instance has a shared pool of its own.
    std::map<std::pair<int, std::string>, int> m_sqlUsers;
    const ClientContext* m_client = nullptr;  // set while a client's statement runs
    OraError m_denied;                        // why the authorizer refused it
    bool m_throughView = false;               // the statement reads the rows through a view
};

// The instances of the scenario by name: those of a cluster, or the one named after the database.
std::vector<std::string> instanceNamesOf(const ScenarioSpec& setup);

// Registers TO_CHAR, TO_NUMBER, NVL and SYS_CONTEXT with Oracle's behaviour, and the views'
// clock. client points at the store's client of the running statement, null between
// statements.
void registerOracleFunctions(sqlite3* db, const ClientContext* const* client);

}  // namespace sim
