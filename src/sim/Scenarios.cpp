#include "Scenarios.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "Activity.h"
#include "OraText.h"

namespace sim {

namespace {

// Who connects from where with what: one kind of client each, with what it tells the server
// of itself (module, action, an end user's identifier after the prefix) and the service it uses.
struct Client {
    const char* username;
    const char* osuser;
    const char* machine;
    const char* program;
    const char* module;
    const char* action;
    const char* service;
    const char* identifierPrefix;
};

// Names longer than 30 bytes, as Oracle 12.2 and later allow, and names beyond ASCII are part of
// a believable instance: every value fits the width of its column in V$SESSION.
constexpr std::array<Client, 19> kClients = {{
    {"APP_OWNER", "tomcat", "appserver-prod-01.corp.example.com", "JDBC Thin Client",
     "JDBC Thin Client", nullptr, "APP_OLTP", "portal:"},
    {"APP_OWNER", "w3svc", "WEBFARM\\IIS-FRONTEND-07", "w3wp.exe", "w3wp.exe", nullptr, "APP_OLTP",
     "intranet:"},
    {"APP_USER", "tomcat", "appserver-prod-02.corp.example.com", "JDBC Thin Client",
     "JDBC Thin Client", nullptr, "APP_OLTP", "portal:"},
    {"SCOTT", "scott", "CORP\\DESKTOP-4F8Q2LM", "sqlplus.exe", "SQL*Plus", nullptr, "ORCL",
     nullptr},
    {"HR", "mgarcia", "CORP\\LAPTOP-HR-MGARCIA", "toad.exe", "TOAD 16.1.53.1594", "Editor", "ORCL",
     nullptr},
    {"HR", "hr_batch", "hr-scheduler-prd-westeurope-az2-node-0004.internal.corp.example",
     "JDBC Thin Client", "HR_PAYROLL", "MONTHLY_RUN", "APP_BATCH", nullptr},
    {"SYSTEM", "oracle", "dbhost01", "sqlplus@dbhost01 (TNS V1-V3)", "SQL*Plus", nullptr,
     "SYS$USERS", nullptr},
    {"REPORTING", "svc_reports", "reporting-cluster-node-17.eu-west-1.compute.internal",
     "Oracle Business Intelligence Publisher Server", "BI Publisher", "Scheduled report",
     "APP_REPORTING", nullptr},
    {"BATCH_ETL", "svc_etl", "etl-node-03", "python3.11@etl-node-03 (TNS V1-V3)", "NIGHTLY_ETL",
     "LOAD_ORDERS", "APP_BATCH", nullptr},
    {"DBSNMP", "oracle", "dbhost01", "emagent@dbhost01 (TNS V1-V3)", "emagent_SQL_oracle_database",
     "problemTbspUndo", "SYS$USERS", nullptr},
    {"FINANCE_APP", "CORP\\akowalski", "CORP\\FIN-WS-0042", "SQL Developer", "SQL Developer",
     nullptr, "ORCL", nullptr},
    {"SALES_RO", "jsmith", "jsmith-macbook-pro.local", "DBeaver 23.1.0 - SQLEditor <Script-3.sql>",
     "DBeaver 23.1.0 - SQLEditor <Script-3.sql>", nullptr, "ORCL", nullptr},
    {"APP_USER", "a.very.long.service.account.name", "k8s-worker-pool-b-7f9c4d8b6-xk2lp",
     "java@order-svc-5d8f7c9b4-qz7lp (TNS V1-V3)", "order-service", "placeOrder", "APP_OLTP",
     "orders:"},
    {"APP_USER", "a.very.long.service.account.name", "k8s-worker-pool-b-7f9c4d8b6-xm9qt",
     "java@order-svc-5d8f7c9b4-hw2vd (TNS V1-V3)", "order-service", "listOrders", "APP_OLTP",
     "orders:"},
    {"MONITOR", "nagios", "monitoring.corp.example.com", "check_oracle_health",
     "check_oracle_health", nullptr, "ORCL", nullptr},
    {"APP_REPORTING_READONLY_SERVICE_ACCOUNT", "svc_bi_readonly_prod_westeurope",
     "bi-gateway-prod-westeurope-az1.analytics.corp.example", "PowerBI.Gateway.exe",
     "PowerBI.Gateway.exe", nullptr, "APP_REPORTING", "bi:"},
    {"FINANCE_APP", "CORP\\j\u00f3zef.wi\u015bniewski", "CORP\\B\u00dcRO-PC-M\u00dcNCHEN-07",
     "\u00dcberweisungspr\u00fcfung.exe", "\u00dcberweisungspr\u00fcfung.exe", "Pr\u00fcflauf",
     "ORCL", nullptr},
    {"SALES_RO", "\u738b\u5c0f\u660e", "shanghai-office-ws-042",
     "\u6570\u636e\u540c\u6b65\u670d\u52a1.exe", "\u6570\u636e\u540c\u6b65\u670d\u52a1.exe",
     nullptr, "ORCL", nullptr},
    {"HR", "\U00020BB7\u7530\u592a\u90ce", "TOKYO-HR-PC-11", "\u7d66\u4e0e\u8a08\u7b97.exe",
     "\u7d66\u4e0e\u8a08\u7b97.exe", "\u6708\u6b21\u51e6\u7406", "ORCL", nullptr},
}};

constexpr std::array<const char*, 8> kEndUsers = {"jdoe",    "mmueller", "akumar",    "lchen",
                                                  "pdubois", "sgarcia",  "tnakamura", "ewilson"};

constexpr std::array<const char*, 10> kStatements = {
    "SELECT * FROM employees WHERE department_id = :1",
    "UPDATE orders SET status = :1, updated_at = SYSDATE WHERE order_id = :2",
    "COMMIT",
    "BEGIN dbms_application_info.set_module(:1, :2); END;",
    "SELECT o.order_id, o.customer_id, c.name, SUM(l.quantity * l.unit_price) total FROM "
    "orders o JOIN customers c ON c.customer_id = o.customer_id JOIN order_lines l ON "
    "l.order_id = o.order_id WHERE o.created_at >= TRUNC(SYSDATE) - 7 GROUP BY o.order_id, "
    "o.customer_id, c.name ORDER BY total DESC",
    "INSERT INTO audit_log (log_id, event_time, username, action, object_name, details) "
    "VALUES (audit_seq.NEXTVAL, SYSTIMESTAMP, :1, :2, :3, :4)",
    "SELECT username, sid, serial#, status FROM v$session WHERE type = 'USER'",
    "DELETE FROM session_cache WHERE last_access < SYSDATE - 1/24",
    "SELECT r.region_name, p.product_name, SUM(s.amount) amount, COUNT(*) sales, "
    "AVG(s.discount) discount, RANK() OVER (PARTITION BY r.region_name ORDER BY SUM(s.amount) "
    "DESC) rnk FROM sales s JOIN products p ON p.product_id = s.product_id JOIN stores st ON "
    "st.store_id = s.store_id JOIN regions r ON r.region_id = st.region_id WHERE s.sale_date "
    "BETWEEN ADD_MONTHS(TRUNC(SYSDATE, 'MM'), -12) AND SYSDATE GROUP BY r.region_name, "
    "p.product_name",
    "SELECT value FROM v$parameter WHERE name = 'db_block_size'",
};

constexpr const char* kScanStatement =
    "SELECT /*+ FULL(l) */ l.order_id, SUM(l.quantity * l.unit_price) total FROM order_lines l "
    "GROUP BY l.order_id";
constexpr const char* kBackupCall =
    "BEGIN sys.dbms_backup_restore.backupDataFile(dfnumber => 7, max_corrupt => 0); END;";

constexpr std::array<const char*, 20> kBackground = {
    "PMON", "CLMN", "PSP0", "VKTM", "GEN0", "MMAN", "GEN1", "DIAG", "DBRM", "VKRM",
    "DIA0", "DBW0", "LGWR", "CKPT", "SMON", "RECO", "LREG", "MMON", "MMNL", "TMON"};

// Further processes, once each, as an instance numbers them: more database writers, log writer
// workers, then space management slaves W000, W001, ...
constexpr std::array<const char*, 8> kMoreBackground = {"DBW1", "DBW2", "DBW3", "LG00",
                                                        "LG01", "SMCO", "CJQ0", "AQPC"};

std::string backgroundName(int i) {
    const std::size_t index = static_cast<std::size_t>(i);
    if (index < kBackground.size()) {
        return kBackground[index];
    }
    if (index < kBackground.size() + kMoreBackground.size()) {
        return kMoreBackground[index - kBackground.size()];
    }
    char name[16];
    std::snprintf(name, sizeof name, "W%03d",
                  static_cast<int>(index - kBackground.size() - kMoreBackground.size()));
    return name;
}

constexpr std::int64_t kDay = 86400;

const Client& clientOf(std::string_view username, std::string_view program) {
    return *std::find_if(kClients.begin(), kClients.end(), [&](const Client& c) {
        return c.username == username && c.program == program;
    });
}

SessionSpec background(int sid, const std::string& process, std::int64_t startup,
                       std::int64_t now) {
    SessionSpec s;
    s.sid = sid;
    s.serial = 1 + (sid * 7919) % 60000;
    s.status = "ACTIVE";
    s.osuser = "oracle";
    s.machine = "dbhost01";
    s.program = std::string("oracle@dbhost01 (") + process + ")";
    s.type = "BACKGROUND";
    s.logonTime = startup;
    s.schemaname = "SYS";
    // Started with the instance, they have been in their one call ever since; their idle
    // waits are timers that run out every few seconds.
    s.waitSince = now - sid % 3;
    s.waitMicros = (sid * 104729) % 1000000;
    s.process = std::to_string(2101 + 2 * sid);
    return s;
}

// What the client tells the server of itself: module, action, end user, service, process id
// (JDBC Thin reports a fixed 1234, Windows clients process and thread).
SessionSpec clientSession(const Client& client, Rng& detail, int sid, int serial,
                          std::int64_t logonTime) {
    SessionSpec s;
    s.username = client.username;
    s.sid = sid;
    s.serial = serial;
    s.osuser = client.osuser;
    s.machine = client.machine;
    s.program = client.program;
    s.logonTime = logonTime;
    s.schemaname = client.username;
    s.module = client.module;
    if (client.action)
        s.action = client.action;
    if (client.identifierPrefix)
        s.clientIdentifier =
            client.identifierPrefix +
            std::string(kEndUsers[static_cast<std::size_t>(detail.below(kEndUsers.size()))]);
    s.serviceName = client.service;
    const std::string program = client.program;
    const std::string pid = std::to_string(1000 + detail.below(60000));
    s.process = program == "JDBC Thin Client" ? "1234"
                : program.ends_with(".exe") ? pid + ':' + std::to_string(1000 + detail.below(9000))
                                            : pid;
    return s;
}

// Busy sessions are in a call of a minute or two, idle ones have waited up to two hours.
void drawActivity(SessionSpec& s, Rng& detail, std::int64_t now) {
    const bool active = s.status == "ACTIVE";
    const int longest =
        static_cast<int>(std::min<std::int64_t>(active ? 120 : 7200, now - s.logonTime));
    s.statusSince = now - detail.below(std::max(longest, 0) + 1);
    const Wait wait = active ? busyWait(detail, workOf(s.sqlText), now)
                             : idleWait(*s.statusSince, detail.below(1000000));
    s.event = wait.event;
    s.waitClass = wait.waitClass;
    s.state = wait.state;
    s.waitSince = wait.since;
    s.waitMicros = wait.micros;
}

// A desktop user who changed orders and left them uncommitted, and three application sessions
// stuck behind those row locks, each for longer than the next.
void addLockChain(ScenarioSpec& setup, Rng& rng, int& sid, std::int64_t now) {
    sid += 1 + rng.below(6);
    const int holder = sid;
    Rng detail(static_cast<std::uint64_t>(now) ^ static_cast<std::uint64_t>(sid));
    SessionSpec h = clientSession(clientOf("FINANCE_APP", "SQL Developer"), detail, holder,
                                  1 + rng.below(65535), now - 7400);
    h.status = "INACTIVE";
    h.statusSince = now - 1260;
    h.waitMicros = detail.below(1000000);
    // A morning's worth of changes, uncommitted: a kill would roll all of it back.
    h.inTransaction = true;
    h.transactionSince = now - 1260 - 1 - detail.below(1200);
    h.undoRecords = 48213;
    h.undoBlocks = 1204;
    setup.sessions.push_back(h);
    for (const std::int64_t waited : {840, 415, 96}) {
        sid += 1 + rng.below(6);
        SessionSpec w = clientSession(clientOf("APP_USER", "JDBC Thin Client"), detail, sid,
                                      1 + rng.below(65535), now - kDay + sid);
        w.status = "ACTIVE";
        w.sqlText = kStatements[1];
        w.statusSince = now - waited;
        w.waitMicros = detail.below(1000000);
        w.blockingSession = holder;
        // Stuck on its first row, it has changed nothing yet.
        w.inTransaction = false;
        setup.sessions.push_back(w);
    }
}

// A nightly load reading a whole table, and a backup of the database's files, each well into
// its work: the one a statement with a plan, the other a call of the backup package.
void addLongOperations(ScenarioSpec& setup, int& sid, std::int64_t now) {
    Rng detail(static_cast<std::uint64_t>(now) * 31 + static_cast<std::uint64_t>(sid));
    sid += 2;
    const int serial = 1 + detail.below(65535);
    SessionSpec scan = clientSession(clientOf("BATCH_ETL", "python3.11@etl-node-03 (TNS V1-V3)"),
                                     detail, sid, serial, now - 3 * 3600);
    scan.status = "ACTIVE";
    scan.sqlText = kScanStatement;
    scan.statusSince = now - 270;
    scan.event = "direct path read";
    scan.waitSince = now;
    setup.sessions.push_back(scan);
    setup.longOps.push_back({scan.sid, 1, "Table Scan", "APP_OWNER.ORDER_LINES", "", "Blocks",
                             54 * 1552, 120 * 1552, 1552, now - 270, 0, true});

    SessionSpec rman;
    rman.username = "SYS";
    rman.sid = sid += 3;
    rman.serial = 1 + detail.below(65535);
    rman.status = "ACTIVE";
    rman.osuser = "oracle";
    rman.machine = "dbhost01";
    rman.program = "rman@dbhost01 (TNS V1-V3)";
    rman.module = "backup full datafile";
    rman.action = "0000112 STARTED16";
    rman.logonTime = now - 1560;
    rman.schemaname = "SYS";
    rman.sqlText = kBackupCall;
    rman.statusSince = now - 1500;
    rman.event = "RMAN backup & recovery I/O";
    rman.waitSince = now;
    rman.inTransaction = false;
    setup.sessions.push_back(rman);
    setup.longOps.push_back({rman.sid, 1, "RMAN: full datafile backup", "", "Set Count", "Blocks",
                             300 * 1820, 720 * 1820, 1820, now - 1500, 112, true});
}

struct Shape {
    int backgrounds;
    int users;
    int maxGap;  // between user sessions' sids
    int activePercent;
    bool lockChain;
    bool longOps = false;
};

// Background processes first, then user sessions at increasing sids with gaps.
ScenarioSpec populated(Rng& rng, const Shape& shape, std::int64_t now) {
    ScenarioSpec setup;
    setup.listOwnSessions = true;
    const std::int64_t startup = now - 3 * kDay - 4 * 3600 - rng.below(3600);
    int sid = 0;
    for (int i = 0; i < shape.backgrounds; ++i) {
        setup.sessions.push_back(background(++sid, backgroundName(i), startup, now));
    }
    for (int i = 0; i < shape.users; ++i) {
        sid += 1 + rng.below(shape.maxGap);
        const std::int64_t since = std::max<std::int64_t>(startup, now - rng.below(3 * kDay));
        setup.sessions.push_back(randomUserSession(rng, sid, since, now, shape.activePercent));
    }
    if (shape.lockChain)
        addLockChain(setup, rng, sid, now);
    if (shape.longOps)
        addLongOperations(setup, sid, now);
    return setup;
}

// Three instances of one database, each with its own background processes and clients (the
// same SID on more than one of them), and a holder on the second instance whose rows sessions of
// the first and third wait for.
ScenarioSpec clustered(Rng& rng, std::int64_t now) {
    ScenarioSpec setup;
    setup.listOwnSessions = true;
    setup.databaseName = "RAC";
    setup.instanceNames = {"rac1", "rac2", "rac3"};
    int highest = 0;
    for (int instance = 1; instance <= 3; ++instance) {
        ScenarioSpec one = populated(rng, {12, 18, 6, 30, false}, now);
        for (SessionSpec& session : one.sessions) {
            session.instance = instance;
            highest = std::max(highest, session.sid);
            setup.sessions.push_back(std::move(session));
        }
    }
    ScenarioSpec chain;
    addLockChain(chain, rng, highest, now);
    const int holder = chain.sessions.front().sid;
    const int waiterInstances[] = {2, 1, 1, 3};
    for (std::size_t i = 0; i < chain.sessions.size(); ++i) {
        SessionSpec& session = chain.sessions[i];
        session.instance = waiterInstances[i];
        if (session.blockingSession == holder)
            session.blockingInstance = 2;
        setup.sessions.push_back(std::move(session));
    }
    return setup;
}

// A container database: the root with two open pluggable databases and a third one mounted,
// clients in each open one, background processes serving all of it.
ScenarioSpec containerDatabase(Rng& rng, std::int64_t now) {
    ScenarioSpec setup = populated(rng, {16, 36, 6, 30, false}, now);
    setup.databaseName = "CDB";
    setup.containers = {
        {3, "SALES", "READ WRITE"}, {4, "HR", "READ WRITE"}, {5, "ARCHIVE", "MOUNTED"}};
    const int userContainers[] = {3, 3, 4, 1, 3, 4};
    std::size_t next = 0;
    for (SessionSpec& session : setup.sessions) {
        session.container =
            session.type == "BACKGROUND" ? 0 : userContainers[next++ % std::size(userContainers)];
    }
    return setup;
}

}  // namespace

SessionSpec randomUserSession(Rng& rng, int sid, std::int64_t logonTime, std::int64_t now,
                              int activePercent) {
    const Client& client = kClients[static_cast<std::size_t>(rng.below(kClients.size()))];
    const int serial = 1 + rng.below(65535);
    // Drawn apart from rng, so that every other column follows the seed as it always has.
    Rng detail((static_cast<std::uint64_t>(sid) << 32) ^ static_cast<std::uint64_t>(serial) ^
               static_cast<std::uint64_t>(logonTime) * 0x9E3779B97F4A7C15ull);
    SessionSpec s = clientSession(client, detail, sid, serial, logonTime);
    s.status = rng.chance(activePercent) ? "ACTIVE" : "INACTIVE";
    s.sqlText = randomStatement(rng);
    drawActivity(s, detail, now);
    return s;
}

std::optional<std::string> randomStatement(Rng& rng) {
    if (rng.chance(25)) {
        return std::nullopt;
    }
    return kStatements[static_cast<std::size_t>(rng.below(kStatements.size()))];
}

// The demo is a mid-sized instance with a lock chain; large a busy one where most of its
// thousands of pooled connections sit idle; rac a cluster of three instances and cdb a container
// database.
std::optional<ScenarioSpec> builtinScenario(const std::string& name, std::uint32_t seed,
                                            std::int64_t now) {
    const std::string lower = lowerCase(name);
    Rng rng(seed);
    std::optional<ScenarioSpec> setup;
    if (lower == "demo") {
        setup = populated(rng, {20, 40, 6, 30, true, true}, now);
        setup->lockStorms = true;
        setup->dbid = 2882471938u;
    } else if (lower == "large") {
        // About 500 of them in a call at any time, on a host of 64 CPUs.
        setup = populated(rng, {40, 9957, 1, 5, false, true}, now);
        setup->dbid = 1614820717u;
        setup->cpuCount = 64;
    } else if (lower == "rac") {
        setup = clustered(rng, now);
        setup->dbid = 3270046156u;
        setup->cpuCount = 16;
    } else if (lower == "cdb") {
        setup = containerDatabase(rng, now);
        setup->dbid = 2710563384u;
    } else if (lower == "empty") {
        setup.emplace();
        setup->listOwnSessions = true;
        setup->dbid = 1090335291u;
        setup->cpuCount = 2;
    }
    return setup;
}

}  // namespace sim
