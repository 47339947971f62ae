#include "Plans.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace sim {

namespace {

struct Step {
    int depth;
    std::string_view operation;
    std::string_view name;
    long long rows;   // 0: blank
    long long bytes;  // 0: blank
    int cost;
    int cpuPercent;
    // "access(...)" or "filter(...)"; empty: none.
    std::string_view predicate;
};

struct Plan {
    std::string_view statementStart;
    std::vector<Step> steps;
};

// The plans of the statements the scenarios' sessions run, by the start of their text; line 0
// is the statement, costed as the optimizer costed it.
const std::vector<Plan>& knownPlans() {
    static const std::vector<Plan> plans = {
        {"SELECT * FROM employees WHERE department_id",
         {{0, "SELECT STATEMENT", "", 0, 0, 2, 100, ""},
          {1, "TABLE ACCESS BY INDEX ROWID BATCHED", "EMPLOYEES", 10, 690, 2, 0, ""},
          {2, "INDEX RANGE SCAN", "EMP_DEPARTMENT_IX", 10, 0, 1, 0,
           R"(access("DEPARTMENT_ID"=:1))"}}},
        {"UPDATE orders SET status",
         {{0, "UPDATE STATEMENT", "", 0, 0, 2, 100, ""},
          {1, "UPDATE", "ORDERS", 0, 0, 0, 0, ""},
          {2, "INDEX UNIQUE SCAN", "ORDERS_PK", 1, 27, 1, 0, R"(access("ORDER_ID"=:2))"}}},
        {"SELECT o.order_id, o.customer_id, c.name",
         {{0, "SELECT STATEMENT", "", 0, 0, 4855, 100, ""},
          {1, "SORT ORDER BY", "", 41012, 3403776, 4855, 2, ""},
          {2, "HASH GROUP BY", "", 41012, 3403776, 4855, 2, ""},
          {3, "HASH JOIN", "", 125000, 9875000, 4810, 1,
           R"(access("L"."ORDER_ID"="O"."ORDER_ID"))"},
          {4, "HASH JOIN", "", 41012, 2459648, 1105, 1,
           R"(access("C"."CUSTOMER_ID"="O"."CUSTOMER_ID"))"},
          {5, "TABLE ACCESS FULL", "CUSTOMERS", 50000, 1349632, 137, 1, ""},
          {5, "TABLE ACCESS FULL", "ORDERS", 41012, 1352704, 967, 1,
           R"(filter("O"."CREATED_AT">=TRUNC(SYSDATE@!)-7))"},
          {4, "TABLE ACCESS FULL", "ORDER_LINES", 1500000, 31457280, 3699, 1, ""}}},
        {"INSERT INTO audit_log",
         {{0, "INSERT STATEMENT", "", 0, 0, 1, 100, ""},
          {1, "LOAD TABLE CONVENTIONAL", "AUDIT_LOG", 0, 0, 0, 0, ""},
          {2, "SEQUENCE", "AUDIT_SEQ", 0, 0, 0, 0, ""}}},
        {"SELECT username, sid, serial#, status FROM v$session",
         {{0, "SELECT STATEMENT", "", 0, 0, 1, 100, ""},
          {1, "NESTED LOOPS", "", 1, 113, 0, 0, ""},
          {2, "FIXED TABLE FULL", "X$KSUSE", 1, 87, 0, 0,
           R"(filter((BITAND("S"."KSSPAFLG",1)<>0 AND BITAND("S"."KSUSEFLG",1)<>0))"
           R"( AND "S"."INST_ID"=USERENV('INSTANCE')))"},
          {2, "FIXED TABLE FIXED INDEX", "X$KSLED (ind:2)", 1, 26, 0, 0,
           R"(filter("S"."KSUSEOPC"="E"."INDX"))"}}},
        {"DELETE FROM session_cache",
         {{0, "DELETE STATEMENT", "", 0, 0, 69, 100, ""},
          {1, "DELETE", "SESSION_CACHE", 0, 0, 0, 0, ""},
          {2, "TABLE ACCESS FULL", "SESSION_CACHE", 120, 2760, 69, 0,
           R"(filter("LAST_ACCESS"<SYSDATE@!-.0416666666666666666666666666666666666667))"}}},
        {"SELECT r.region_name, p.product_name",
         {{0, "SELECT STATEMENT", "", 0, 0, 18210, 100, ""},
          {1, "WINDOW SORT", "", 2500, 225280, 18210, 3, ""},
          {2, "HASH GROUP BY", "", 2500, 225280, 18210, 3, ""},
          {3, "FILTER", "", 0, 0, 0, 0,
           R"(filter(ADD_MONTHS(TRUNC(SYSDATE@!,'fmmm'),-12)<=SYSDATE@!))"},
          {4, "HASH JOIN", "", 3650000, 328204288, 17950, 2,
           R"(access("R"."REGION_ID"="ST"."REGION_ID"))"},
          {5, "TABLE ACCESS FULL", "REGIONS", 12, 228, 3, 0, ""},
          {5, "HASH JOIN", "", 3650000, 258998272, 17930, 2,
           R"(access("ST"."STORE_ID"="S"."STORE_ID"))"},
          {6, "TABLE ACCESS FULL", "STORES", 400, 3200, 3, 0, ""},
          {6, "HASH JOIN", "", 3650000, 229638144, 17910, 2,
           R"(access("P"."PRODUCT_ID"="S"."PRODUCT_ID"))"},
          {7, "TABLE ACCESS FULL", "PRODUCTS", 20000, 599040, 69, 0, ""},
          {7, "TABLE ACCESS FULL", "SALES", 3650000, 119537664, 17820, 2,
           R"(filter(("S"."SALE_DATE">=ADD_MONTHS(TRUNC(SYSDATE@!,'fmmm'),-12) AND )"
           R"("S"."SALE_DATE"<=SYSDATE@!)))"}}},
        {"SELECT value FROM v$parameter",
         {{0, "SELECT STATEMENT", "", 0, 0, 1, 100, ""},
          {1, "HASH JOIN", "", 1, 1430, 1, 100, R"(access("X"."INDX"="Y"."INDX"))"},
          {2, "FIXED TABLE FULL", "X$KSPPI", 1, 81, 0, 0,
           R"(filter("X"."KSPPINM"='db_block_size'))"},
          {2, "FIXED TABLE FULL", "X$KSPPCV", 3000, 4209664, 0, 0, ""}}},
        {"SELECT /*+ FULL(l) */ l.order_id",
         {{0, "SELECT STATEMENT", "", 0, 0, 3980, 100, ""},
          {1, "HASH GROUP BY", "", 1500000, 26214400, 3980, 8, ""},
          {2, "TABLE ACCESS FULL", "ORDER_LINES", 1500000, 26214400, 3699, 1, ""}}},
    };
    return plans;
}

const Plan* planOf(const std::string& text) {
    for (const Plan& plan : knownPlans()) {
        if (std::string_view(text).substr(0, plan.statementStart.size()) == plan.statementStart)
            return &plan;
    }
    return nullptr;
}

std::string padRight(std::string_view text, std::size_t width) {
    std::string out(text);
    out.resize(std::max(width, text.size()), ' ');
    return out;
}

std::string padLeft(const std::string& text, std::size_t width) {
    return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

// At most five characters: units up to 99999, then thousands (K), millions (M) or thousands of
// millions (G) up to 9999, of unit 1000 for rows and 1024 for bytes.
std::string amount(long long value, long long unit) {
    if (value <= 0)
        return {};
    if (value <= 99999)
        return std::to_string(value);
    const char* suffixes[] = {"K", "M", "G"};
    int scale = -1;
    do {
        value = (value + unit / 2) / unit;
        ++scale;
    } while (value > 9999 && scale < 2);
    return std::to_string(value) + suffixes[scale];
}

// The optimizer's estimate of the time, from its cost; never less than a second.
std::string estimatedTime(int cost) {
    const int seconds = 1 + cost / 2000;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

std::uint32_t planHash(const Plan& plan) {
    std::uint32_t h = 2166136261u;
    for (const Step& step : plan.steps) {
        for (std::string_view part : {step.operation, step.name}) {
            for (unsigned char c : part)
                h = (h ^ c) * 16777619u;
        }
    }
    return h;
}

std::vector<std::string> heading(const std::string& sqlId, int child) {
    const std::string first = "SQL_ID  " + sqlId + ", child number " + std::to_string(child);
    return {first, std::string(first.size(), '-')};
}

std::vector<std::string> cannotFetch(const std::string& sqlId, int child,
                                     const std::optional<std::string>& sqlText) {
    std::vector<std::string> lines;
    if (sqlText) {
        lines = heading(sqlId, child);
        lines.push_back(*sqlText);
    } else {
        lines.push_back("SQL_ID  " + sqlId + ", child number " + std::to_string(child));
    }
    lines.push_back("");
    lines.push_back("NOTE: cannot fetch plan for SQL_ID: " + sqlId +
                    ", CHILD_NUMBER: " + std::to_string(child));
    lines.push_back("      Please verify value of SQL_ID and CHILD_NUMBER; ");
    lines.push_back(
        "      It could also be that the plan is no longer in cursor cache (check v$sql_plan)");
    lines.push_back("");
    return lines;
}

void addTable(const Plan& plan, std::vector<std::string>& lines) {
    std::size_t operationWidth = std::string_view("Operation").size();
    std::size_t nameWidth = std::string_view("Name").size();
    for (const Step& step : plan.steps) {
        operationWidth = std::max(operationWidth, std::size_t(step.depth) + step.operation.size());
        nameWidth = std::max(nameWidth, step.name.size());
    }
    const std::string head = "| Id  | " + padRight("Operation", operationWidth) + "| " +
                             padRight("Name", nameWidth) +
                             " | Rows  | Bytes | Cost (%CPU)| Time     |";
    const std::string rule(head.size(), '-');
    lines.push_back(rule);
    lines.push_back(head);
    lines.push_back(rule);
    for (std::size_t id = 0; id < plan.steps.size(); ++id) {
        const Step& step = plan.steps[id];
        const bool costed = step.cost > 0 || step.rows > 0;
        const std::string cost = costed
                                     ? padLeft(std::to_string(step.cost), 6) + " " +
                                           padLeft("(" + std::to_string(step.cpuPercent) + ")", 5)
                                     : std::string(12, ' ');
        const bool timed = costed && id > 0;
        lines.push_back(
            "|" + std::string(step.predicate.empty() ? " " : "*") + padLeft(std::to_string(id), 3) +
            " | " +
            padRight(std::string(std::size_t(step.depth), ' ') + std::string(step.operation),
                     operationWidth) +
            "| " + padRight(step.name, nameWidth) + " |" + padLeft(amount(step.rows, 1000), 6) +
            " |" + padLeft(amount(step.bytes, 1024), 6) + " |" + cost + "| " +
            (timed ? estimatedTime(step.cost) : std::string(8, ' ')) + " |");
    }
    lines.push_back(rule);
}

}  // namespace

std::vector<std::string> displayCursor(const std::string& sqlId, int child,
                                       const std::optional<std::string>& sqlText) {
    const Plan* plan = sqlText && child == 0 ? planOf(*sqlText) : nullptr;
    if (!plan)
        return cannotFetch(sqlId, child, child == 0 ? sqlText : std::nullopt);
    std::vector<std::string> lines = heading(sqlId, child);
    lines.push_back(*sqlText);
    lines.push_back("");
    lines.push_back("Plan hash value: " + std::to_string(planHash(*plan)));
    lines.push_back("");
    addTable(*plan, lines);
    lines.push_back("");
    const bool predicates = std::any_of(plan->steps.begin(), plan->steps.end(),
                                        [](const Step& s) { return !s.predicate.empty(); });
    if (predicates) {
        lines.push_back("Predicate Information (identified by operation id):");
        lines.push_back("---------------------------------------------------");
        lines.push_back("");
        for (std::size_t id = 0; id < plan->steps.size(); ++id) {
            if (!plan->steps[id].predicate.empty())
                lines.push_back(padLeft(std::to_string(id), 4) + " - " +
                                std::string(plan->steps[id].predicate));
        }
        lines.push_back("");
    }
    return lines;
}

std::vector<std::string> missingPrivilege(const std::string& view) {
    return {"User has no SELECT privilege on " + view};
}

}  // namespace sim
