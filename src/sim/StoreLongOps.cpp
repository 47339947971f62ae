// Long operations: the rows of V$SESSION_LONGOPS (stored in X$KSULOP), advanced at each tick of
// the clock, and the statements' text in the shared pool that DISPLAY_CURSOR reads.

#include <cmath>

#include "StoreBinding.h"

namespace sim {

namespace {

constexpr const char* kLongOpsSchema = R"(
CREATE TABLE sys."x$ksulop" (
    indx INTEGER PRIMARY KEY, inst_id NUMBER, con_id NUMBER, sid NUMBER, "serial#" NUMBER,
    opname VARCHAR2(64), target VARCHAR2(64), target_desc VARCHAR2(32), sofar NUMBER,
    totalwork NUMBER, units VARCHAR2(32), start_time DATE, last_update_time DATE,
    timestamp DATE, time_remaining NUMBER, elapsed_seconds NUMBER, context NUMBER,
    message VARCHAR2(512), username VARCHAR2(128), sql_address TEXT, sql_hash_value NUMBER,
    sql_id VARCHAR2(13), qcsid NUMBER);
)";

std::string longOpsColumns(bool sqlIds, bool containers) {
    return std::string(R"(sid, "serial#", opname, target, target_desc, sofar, totalwork, units,
        start_time, last_update_time, timestamp, time_remaining, elapsed_seconds, context,
        message, username, sql_address, sql_hash_value, )") +
           (sqlIds ? "sql_id, " : "") + "qcsid" + (containers ? ", con_id" : "");
}

// "Table Scan:  APP_OWNER.ORDER_LINES: 4352 out of 16640 Blocks done", "RMAN: full datafile
// backup: Set Count 112: 61856 out of 187520 Blocks done".
std::string messageOf(const LongOpSpec& op, std::int64_t sofar) {
    const std::string subject = !op.target.empty() ? op.target
                                : op.context != 0  ? std::to_string(op.context)
                                                   : std::string();
    return op.opname + ": " + op.targetDesc + " " + subject + ": " + std::to_string(sofar) +
           " out of " + std::to_string(op.totalwork) + " " + op.units + " done";
}

}  // namespace

void Store::createLongOps(const Release& release) {
    exec(kLongOpsSchema);
    const std::string columns = longOpsColumns(m_sqlIds, release.major >= 12);
    exec(R"(CREATE VIEW sys."v_$session_longops" AS SELECT )" + columns +
         R"( FROM sys."x$ksulop" WHERE inst_id = sim_instance()
             AND (sim_container() <= 1 OR con_id = sim_container());
         CREATE VIEW sys."gv_$session_longops" AS SELECT inst_id, )" +
         columns + R"( FROM sys."x$ksulop" WHERE sim_container() <= 1
             OR con_id = sim_container();)");
    m_insertLongOp = prepare(
        R"(INSERT INTO sys."x$ksulop" (indx, inst_id, con_id, sid, "serial#", opname, target,
           target_desc, sofar, totalwork, units, start_time, last_update_time, timestamp,
           context, message, username, sql_address, sql_hash_value, sql_id, qcsid)
           SELECT ?, inst_id, con_id, sid, "serial#", ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, username,
           sql_address, sql_hash_value, sql_id, 0 FROM sys."x$ksuse" WHERE indx = ?)");
    m_updateLongOp = prepare(
        R"(UPDATE sys."x$ksulop" SET sofar = ?, last_update_time = ?, timestamp = ?,
           time_remaining = ?, elapsed_seconds = ?, message = ? WHERE indx = ?)");
    m_deleteLongOp = prepare(R"(DELETE FROM sys."x$ksulop" WHERE indx = ?)");
    if (m_sqlIds) {
        m_sqlTextById = prepare(
            R"(SELECT sql_text FROM sys."x$kglna" WHERE inst_id = ? AND sql_id = ? ORDER BY piece)");
    }
}

void Store::addLongOp(const LongOpSpec& planned, std::int64_t now) {
    const int key = sessionKey(planned.instance, planned.sid);
    if (!find(key))
        return;
    LongOp op{planned, key, m_nextLongOp++, find(key)->serial, now};
    const std::string started = localIsoDate(planned.startTime);
    const std::optional<std::string> target =
        planned.target.empty() ? std::nullopt : std::optional(planned.target);
    const std::optional<std::string> desc =
        planned.targetDesc.empty() ? std::nullopt : std::optional(planned.targetDesc);
    run(m_insertLongOp, op.row, planned.opname, target, desc, planned.sofar, planned.totalwork,
        planned.units, started, started, started, planned.context,
        messageOf(planned, planned.sofar), key);
    m_longOps.push_back(op);
    updateLongOp(m_longOps.back(), now);
}

// ELAPSED_SECONDS counts from the start, TIME_REMAINING as the server estimates it: the time
// spent so far for the work still to do at the rate achieved.
void Store::updateLongOp(LongOp& op, std::int64_t at) {
    op.lastUpdate = at;
    const LongOpSpec& s = op.planned;
    const std::int64_t elapsed = at - s.startTime;
    const std::optional<std::int64_t> remaining =
        s.sofar > 0 ? std::optional<std::int64_t>(std::llround(
                          double(elapsed) * double(s.totalwork - s.sofar) / double(s.sofar)))
                    : std::nullopt;
    const std::string updated = localIsoDate(at);
    run(m_updateLongOp, s.sofar, updated, updated, remaining, elapsed, messageOf(s, s.sofar),
        op.row);
}

bool Store::runsLongOp(int sid) const {
    for (const LongOp& op : m_longOps) {
        if (op.session == sid && op.planned.sofar < op.planned.totalwork)
            return true;
    }
    return false;
}

// The work of a session that has gone stays where it was, as the view keeps its rows; a
// repeating one that is done starts again, and of its finished rows only the last stays.
void Store::advanceLongOps(std::int64_t at) {
    std::vector<LongOpSpec> next;
    for (LongOp& op : m_longOps) {
        LongOpSpec& s = op.planned;
        const LiveSession* session = find(op.session);
        if (s.sofar >= s.totalwork || !session || session->serial != op.serial)
            continue;
        s.sofar = std::min(s.totalwork, s.sofar + s.perTick);
        updateLongOp(op, at);
        if (s.sofar == s.totalwork && s.repeats) {
            LongOpSpec again = s;
            again.sofar = 0;
            again.startTime = at;
            again.context += s.context != 0 ? 1 : 0;
            next.push_back(again);
        }
    }
    for (const LongOpSpec& planned : next) {
        const int key = sessionKey(planned.instance, planned.sid);
        std::erase_if(m_longOps, [&](const LongOp& old) {
            const bool superseded = old.session == key &&
                                    old.planned.sofar >= old.planned.totalwork &&
                                    old.lastUpdate < at;
            if (superseded)
                run(m_deleteLongOp, old.row);
            return superseded;
        });
        addLongOp(planned, at);
    }
}

std::optional<std::string> Store::sqlTextOf(int instance, const std::string& sqlId) {
    if (!m_sqlIds)
        return std::nullopt;
    sqlite3_stmt* s = m_sqlTextById.get();
    bind(s, 1, instance);
    bind(s, 2, sqlId);
    std::optional<std::string> text;
    while (sqlite3_step(s) == SQLITE_ROW) {
        const auto* piece = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        text = text.value_or("") + (piece ? piece : "");
    }
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    return text;
}

}  // namespace sim
