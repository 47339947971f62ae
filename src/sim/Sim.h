#pragma once
// The simulated Oracle instance: a deterministic stand-in for a database server that answers
// the statements Nimbra sends with Oracle's results and Oracle's errors. It knows nothing of
// the client library's data areas; src/oci speaks to it through Connection and Cursor.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// An Oracle error: code 0 is success; text is the server's message, e.g.
// "ORA-00942: table or view does not exist".
struct OraError {
    int code = 0;
    std::string text;
    bool ok() const { return code == 0; }
};

// The server's standard message for an error number ("ORA-01017: invalid username/password;
// logon denied"), or "ORA-nnnnn: Message nnnnn not found" for a number it does not know.
std::string standardMessage(int code);
// The error with its standard message.
OraError oraError(int code);

// Codes after which the connection is gone.
bool isConnectionLost(int code);

// What a client that gave up on a call reports: the call timed out, and the connection with it.
inline constexpr int kCallTimedOut = 3156;

// One column value as the server returns it: nullopt is NULL; numbers come as Oracle prints
// them ("7", "-1.5"), dates as DD-MON-RR unless the statement formats them.
using Value = std::optional<std::string>;
using Row = std::vector<Value>;

class Instance;

// A server release as its five numbers, by default 19.21.0.0.0: release 19, release update
// 21. Before 18c the numbers are release, maintenance, application server, component and
// platform (11.2.0.4.0).
struct Release {
    int major = 19;
    int second = 21;
    int third = 0;
    int fourth = 0;
    int fifth = 0;
};

// What OCIServerRelease2 reports: the release number as Oracle's own client layer decodes it
// and the banner ("Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production\n
// Version 19.21.0.0.0").
struct ServerRelease {
    std::uint32_t version = 0;
    std::string banner;
};
ServerRelease serverRelease(const Release& release);

// The administrative privilege a log-on asks for; None for an ordinary one.
enum class Privilege { None, SysDba, SysOper, SysBackup, SysDg, SysKm };

// One session of a client with the instance. Destroying it logs off.
class Connection {
public:
    // scenario is the host string after "sim:" ("demo", "large", "empty" or one defined by a
    // test). Returns null and sets error on failure (ORA-01017, ORA-12154, ORA-01005, ...).
    // Only SYS may use a privilege, and SYS must (ORA-28009); an external log-on with one is the
    // operating system's administrator. The session then belongs to the privilege's user: SYS
    // for SYSDBA, PUBLIC for SYSOPER.
    static std::unique_ptr<Connection> logon(const std::string& user, const std::string& password,
                                             const std::string& scenario, OraError& error,
                                             Privilege privilege = Privilege::None);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The error every further call gets once the session has been killed or the line lost;
    // code 0 while the connection is usable.
    OraError state() const;
    // Marks the connection lost, as after a broken line (later calls get ORA-03114).
    void markLost();

    const std::string& userName() const;
    Instance& instance();
    ServerRelease serverRelease() const;

private:
    Connection(std::shared_ptr<Instance> instance, std::string user, int sid);
    friend class Cursor;
    std::shared_ptr<Instance> m_instance;
    std::string m_user;
    int m_sid = 0;
    bool m_lost = false;
};

// A server-side cursor. Open cursors are counted (Controls::openCursors).
class Cursor {
public:
    explicit Cursor(Connection& connection);
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    // Runs one statement. A query keeps its whole result (read consistency at execute time);
    // the kill statement changes the instance and has no rows. The statement is logged.
    // Rows whose ORDER BY keys are equal come in session-id order.
    OraError execute(const std::string& sql);
    bool isQuery() const { return m_isQuery; }
    int columnCount() const { return m_columns; }
    std::size_t rowCount() const { return m_rows.size(); }
    const Row& row(std::size_t i) const { return m_rows[i]; }

private:
    Connection& m_connection;
    bool m_isQuery = false;
    int m_columns = 0;
    std::vector<Row> m_rows;
};

// One session row of a scenario, as a test defines it.
struct SessionSpec {
    std::optional<std::string> username;  // nullopt: a background process
    int sid = 0;                          // 0: the next free one
    int serial = 0;
    std::string status = "INACTIVE";
    std::optional<std::string> osuser;
    std::optional<std::string> machine;
    std::optional<std::string> program;
    std::string type = "USER";
    std::int64_t logonTime = 0;  // seconds since 1970-01-01 UTC
    std::optional<std::string> schemaname;
    // The statement the session runs; stored as 64-character pieces. nullopt: none.
    std::optional<std::string> sqlText;

    // The rest of V$SESSION; nullopt fills in what a server would show.
    // When STATUS last changed (LAST_CALL_ET counts from it); nullopt: the log-on time.
    std::optional<std::int64_t> statusSince;
    // The current wait (state WAITING) or the last one; nullopt: what the status implies, such
    // as "SQL*Net message from client" for an idle session. The class of a known event is
    // looked up when not given.
    std::optional<std::string> event;
    std::optional<std::string> waitClass;
    std::optional<std::string> state;  // WAITING, WAITED SHORT TIME, WAITED KNOWN TIME
    // When that wait began (nullopt: statusSince); waitMicros is its length beyond the whole
    // seconds while it lasts, its whole length once it is over.
    std::optional<std::int64_t> waitSince;
    std::int64_t waitMicros = 0;
    // The session holding the row this one waits for: it waits on a row lock unless event
    // says otherwise, and the holder is in a transaction.
    std::optional<int> blockingSession;
    std::optional<std::string> module;  // nullopt: the program, as the client library sets it
    std::optional<std::string> action;
    std::optional<std::string> clientIdentifier;
    std::optional<std::string> serviceName;  // nullopt: SYS$USERS, or SYS$BACKGROUND
    std::string server = "DEDICATED";
    std::optional<std::string> process;  // the client's process id; nullopt: one made up
    // Whether TADDR names a transaction; nullopt: while the statement changes data.
    std::optional<bool> inTransaction;
    // That transaction's start (nullopt: statusSince) and its undo in V$TRANSACTION (nullopt:
    // a small one).
    std::optional<std::int64_t> transactionSince;
    std::optional<int> undoRecords;
    std::optional<int> undoBlocks;
    // The instance of a cluster the session runs on, and the blocker's when it is on another.
    int instance = 1;
    std::optional<int> blockingInstance;
    // CON_ID: 0 outside a container database (and for what serves all of it), 1 the root, 3
    // and up a pluggable database.
    int container = 0;
};

// A container of a container database, as V$CONTAINERS lists it.
struct ContainerSpec {
    int id = 0;
    std::string name;
    std::string openMode = "READ WRITE";
};

// A long operation of a session, as V$SESSION_LONGOPS lists it: it advances by perTick units
// at each tick of the instance's clock until sofar reaches totalwork.
struct LongOpSpec {
    int sid = 0;
    int instance = 1;
    std::string opname;  // "Table Scan", "RMAN: full datafile backup"
    std::string target;  // "APP_OWNER.ORDER_LINES"; empty: NULL
    std::string targetDesc;
    std::string units = "Blocks";
    std::int64_t sofar = 0;
    std::int64_t totalwork = 0;
    std::int64_t perTick = 0;
    std::int64_t startTime = 0;
    // RMAN's backup set; 0 for an operation without one.
    int context = 0;
    // Starts the same operation again once it is done, as a loop over the work would.
    bool repeats = false;
};

struct ScenarioSpec {
    std::vector<SessionSpec> sessions;
    std::vector<LongOpSpec> longOps;
    // Whether log-ons to this scenario appear in v$session as sessions of their own.
    bool listOwnSessions = false;
    // The account an external log-on (no user name, no password) becomes, as a wallet or the
    // operating system would vouch for it; none refuses it with ORA-01017.
    std::optional<std::string> externalUser;
    // The release the instance runs: its views have that release's columns.
    Release release;
    // The database as V$DATABASE and SYS_CONTEXT name it.
    std::string databaseName = "SIM";
    // V$DATABASE.DBID, the same at every start of the scenario; 0 takes one from the name.
    std::uint32_t dbid = 0;
    // The CPUs V$PARAMETER's cpu_count and V$OSSTAT's NUM_CPUS report.
    int cpuCount = 8;
    // Every few minutes a hot row holds up a crowd of sessions for a while, and short bursts
    // of CPU and I/O work come and go (with a living instance only).
    bool lockStorms = false;
    // The instances of a cluster, by name, the first the one clients log on to; empty: a single
    // instance named after the database.
    std::vector<std::string> instanceNames;
    // The containers of a container database after the root; empty: not a container database.
    // Clients log on to logonContainer (1: the root).
    std::vector<ContainerSpec> containers;
    int logonContainer = 1;
};

// The release-7 calls whose k-th occurrence a test can make fail.
enum class Call { Logon, Logoff, Open, Parse, Define, Exec, Fetch, ExecFetch, Close };

// Test controls, process-wide; not reachable from a host string.
class Controls {
public:
    static Controls& instance();

    // Back to the defaults: real clock, seed 1, no failures, latency, log or instances.
    void reset();

    // Makes the nth call (1 = the next one) of that kind from now fail with code.
    void failCall(Call call, int nth, int code);
    // Counts one call of that kind; returns the code to fail it with, if one was planned.
    std::optional<int> takeFailure(Call call);
    // Makes the nth call of that kind from now take that long at the server, as a hung network
    // or instance does; a client with a shorter call time limit gives up on it, and the
    // connection then survives or is lost. Within the limit the instance's clock moves on by
    // that long; nobody waits for real.
    void delayCall(Call call, int nth, std::chrono::milliseconds duration,
                   bool survivesTimeout = false);
    struct Delay {
        std::chrono::milliseconds duration;
        bool survivesTimeout = false;
    };
    // Counts one call of that kind; returns how long it takes, if a delay was planned.
    std::optional<Delay> takeDelay(Call call);
    // The next successful log-on comes with this warning, as an expiring password gives
    // ORA-28002.
    void warnAtNextLogon(OraError warning);
    OraError takeLogonWarning();

    void setRoundTripLatency(std::chrono::microseconds latency);
    // Called by a client for each exchange with the server: waits the latency and counts it.
    void roundTrip();
    int roundTrips() const { return m_roundTrips; }

    // The next count(*) over v_$session is followed by n new user sessions.
    void addSessionsAfterNextCount(int n);
    int takeSessionsAfterCount();

    void setFixedTime(std::int64_t unixSeconds);
    void advanceClock(std::int64_t seconds);
    void useRealClock();
    std::int64_t now() const;

    void setSeed(std::uint32_t seed);
    std::uint32_t seed() const { return m_seed; }

    void defineScenario(const std::string& name, ScenarioSpec setup);
    const ScenarioSpec* definedScenario(const std::string& name) const;

    // Every statement text received by any cursor, in order.
    const std::vector<std::string>& statementLog() const { return m_log; }
    void clearStatementLog() { m_log.clear(); }
    void logStatement(const std::string& sql) { m_log.push_back(sql); }

    int openCursors() const { return m_openCursors; }
    void cursorOpened() { ++m_openCursors; }
    void cursorClosed() { --m_openCursors; }

    // The running instance of a scenario, created on first use and shared by its connections.
    std::shared_ptr<Instance> instanceFor(const std::string& scenario, OraError& error);

private:
    Controls() = default;
    struct PlannedFailure {
        Call call;
        int remaining;
        int code;
    };
    std::vector<PlannedFailure> m_failures;
    struct PlannedDelay {
        Call call;
        int remaining;
        Delay delay;
    };
    std::vector<PlannedDelay> m_delays;
    OraError m_logonWarning;
    std::chrono::microseconds m_latency{0};
    int m_roundTrips = 0;
    int m_sessionsAfterCount = 0;
    std::optional<std::int64_t> m_fixedTime;
    std::uint32_t m_seed = 1;
    std::vector<std::string> m_log;
    int m_openCursors = 0;
    std::vector<std::pair<std::string, ScenarioSpec>> m_scenarios;
    std::vector<std::pair<std::string, std::shared_ptr<Instance>>> m_instances;
    std::int64_t m_clockOffset = 0;  // advanceClock on the real clock
};

}  // namespace sim
