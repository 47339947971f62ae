#include "Scenarios.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "OraText.h"

namespace sim {

namespace {

// Who connects from where with what: one kind of client each.
struct Client {
    const char* username;
    const char* osuser;
    const char* machine;
    const char* program;
};

// Names longer than 30 bytes, as Oracle 12.2 and later allow, and names beyond ASCII are part of
// a believable instance: every value fits the width of its column in V$SESSION.
constexpr std::array<Client, 19> kClients = {{
    {"APP_OWNER", "tomcat", "appserver-prod-01.corp.example.com", "JDBC Thin Client"},
    {"APP_OWNER", "w3svc", "WEBFARM\\IIS-FRONTEND-07", "w3wp.exe"},
    {"APP_USER", "tomcat", "appserver-prod-02.corp.example.com", "JDBC Thin Client"},
    {"SCOTT", "scott", "CORP\\DESKTOP-4F8Q2LM", "sqlplus.exe"},
    {"HR", "mgarcia", "CORP\\LAPTOP-HR-MGARCIA", "toad.exe"},
    {"HR", "hr_batch", "hr-scheduler-prd-westeurope-az2-node-0004.internal.corp.example",
     "JDBC Thin Client"},
    {"SYSTEM", "oracle", "dbhost01", "sqlplus@dbhost01 (TNS V1-V3)"},
    {"REPORTING", "svc_reports", "reporting-cluster-node-17.eu-west-1.compute.internal",
     "Oracle Business Intelligence Publisher Server"},
    {"BATCH_ETL", "svc_etl", "etl-node-03", "python3.11@etl-node-03 (TNS V1-V3)"},
    {"DBSNMP", "oracle", "dbhost01", "emagent@dbhost01 (TNS V1-V3)"},
    {"FINANCE_APP", "CORP\\akowalski", "CORP\\FIN-WS-0042", "SQL Developer"},
    {"SALES_RO", "jsmith", "jsmith-macbook-pro.local", "DBeaver 23.1.0 - SQLEditor <Script-3.sql>"},
    {"APP_USER", "a.very.long.service.account.name", "k8s-worker-pool-b-7f9c4d8b6-xk2lp",
     "java@order-svc-5d8f7c9b4-qz7lp (TNS V1-V3)"},
    {"APP_USER", "a.very.long.service.account.name", "k8s-worker-pool-b-7f9c4d8b6-xm9qt",
     "java@order-svc-5d8f7c9b4-hw2vd (TNS V1-V3)"},
    {"MONITOR", "nagios", "monitoring.corp.example.com", "check_oracle_health"},
    {"APP_REPORTING_READONLY_SERVICE_ACCOUNT", "svc_bi_readonly_prod_westeurope",
     "bi-gateway-prod-westeurope-az1.analytics.corp.example", "PowerBI.Gateway.exe"},
    {"FINANCE_APP", "CORP\\j\u00f3zef.wi\u015bniewski", "CORP\\B\u00dcRO-PC-M\u00dcNCHEN-07",
     "\u00dcberweisungspr\u00fcfung.exe"},
    {"SALES_RO", "\u738b\u5c0f\u660e", "shanghai-office-ws-042",
     "\u6570\u636e\u540c\u6b65\u670d\u52a1.exe"},
    {"HR", "\U00020BB7\u7530\u592a\u90ce", "TOKYO-HR-PC-11", "\u7d66\u4e0e\u8a08\u7b97.exe"},
}};

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

SessionSpec background(int sid, const std::string& process, std::int64_t startup) {
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
    return s;
}

// Background processes first, then user sessions at increasing sids with gaps.
ScenarioSpec populated(Rng& rng, int backgrounds, int users, std::int64_t now, int maxGap) {
    ScenarioSpec setup;
    setup.listOwnSessions = true;
    const std::int64_t startup = now - 3 * kDay - 4 * 3600 - rng.below(3600);
    int sid = 0;
    for (int i = 0; i < backgrounds; ++i) {
        setup.sessions.push_back(background(++sid, backgroundName(i), startup));
    }
    for (int i = 0; i < users; ++i) {
        sid += 1 + rng.below(maxGap);
        const std::int64_t since = std::max<std::int64_t>(startup, now - rng.below(3 * kDay));
        setup.sessions.push_back(randomUserSession(rng, sid, since));
    }
    return setup;
}

}  // namespace

std::uint64_t Rng::next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

SessionSpec randomUserSession(Rng& rng, int sid, std::int64_t logonTime) {
    const Client& client = kClients[static_cast<std::size_t>(rng.below(kClients.size()))];
    SessionSpec s;
    s.username = client.username;
    s.sid = sid;
    s.serial = 1 + rng.below(65535);
    s.status = rng.chance(30) ? "ACTIVE" : "INACTIVE";
    s.osuser = client.osuser;
    s.machine = client.machine;
    s.program = client.program;
    s.logonTime = logonTime;
    s.schemaname = client.username;
    s.sqlText = randomStatement(rng);
    return s;
}

std::optional<std::string> randomStatement(Rng& rng) {
    if (rng.chance(25)) {
        return std::nullopt;
    }
    return kStatements[static_cast<std::size_t>(rng.below(kStatements.size()))];
}

std::optional<ScenarioSpec> builtinScenario(const std::string& name, std::uint32_t seed,
                                            std::int64_t now) {
    const std::string lower = lowerCase(name);
    Rng rng(seed);
    if (lower == "demo")
        return populated(rng, 20, 40, now, 6);
    if (lower == "large")
        return populated(rng, 40, 9959, now, 1);
    if (lower == "empty")
        return ScenarioSpec{{}, true, std::nullopt};
    return std::nullopt;
}

}  // namespace sim
