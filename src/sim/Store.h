#pragma once
// The instance's two views as tables of an in-memory SQLite database, with a mirror of what the
// instance itself needs to know about each session.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Sim.h"
#include "Translate.h"

struct sqlite3;
struct sqlite3_stmt;

namespace sim {

struct LiveSession {
    int serial = 0;
    bool user = true;  // type USER, not BACKGROUND
    bool own = false;  // the session of a client connection
    std::string status;
    std::string sqlAddress;  // empty: no statement
    std::optional<std::int64_t> killedAt;
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

// Who runs a statement: the views it may read, and what SYS_CONTEXT('USERENV', ...) answers.
struct ClientContext {
    ViewRights rights;
    int sid = 0;
    std::string user;
};

class Store {
public:
    Store();
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Adds the session; a sid of 0 or less takes the next free one. Returns the sid.
    int add(const SessionSpec& session, bool own);
    void remove(int sid);
    void setStatus(int sid, const std::string& status);
    void setSql(int sid, const std::optional<std::string>& sqlText);
    const std::map<int, LiveSession>& sessions() const { return m_sessions; }
    LiveSession* find(int sid);
    int nextSid() const { return m_sessions.empty() ? 1 : m_sessions.rbegin()->first + 1; }

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

    Prepared prepare(const char* sql);
    void exec(const char* sql);
    void run(const Prepared& statement);
    // Binds address, hash value and sql_id of the text from column on; stores its pieces on
    // first use and returns the address.
    std::string useSql(const std::string& text, sqlite3_stmt* statement, int column);
    void releaseSql(const std::string& address);
    OraError clientError(const std::string& message) const;
    static int authorize(void* self, int action, const char* a, const char* b, const char* db,
                         const char* trigger);

    sqlite3* m_db = nullptr;
    Prepared m_insertSession;
    Prepared m_deleteSession;
    Prepared m_updateStatus;
    Prepared m_updateSql;
    Prepared m_insertPiece;
    Prepared m_deletePieces;
    std::map<int, LiveSession> m_sessions;
    std::map<std::string, int> m_sqlUsers;    // address -> sessions running it
    const ClientContext* m_client = nullptr;  // set while a client's statement runs
    OraError m_denied;                        // why the authorizer refused it
};

// Registers TO_CHAR, TO_NUMBER and NVL with Oracle's behaviour.
// client points at the store's client of the running statement, null between statements.
void registerOracleFunctions(sqlite3* db, const ClientContext* const* client);

}  // namespace sim
