// Pruning old samples, a few thousand at a time, so that writers wait for a short step only.

#include "ActivityHistory.h"

namespace {
constexpr const char* kOldest =
    "(SELECT id FROM snapshot WHERE time < ?1 ORDER BY time, id LIMIT 3600)";

// Removes one step's samples; how many, or -1 on failure.
int PruneStep(HistoryDatabase& db, std::int64_t cutoff) {
    if (db.Exec("BEGIN IMMEDIATE") != SQLITE_OK) {
        return -1;
    }
    const std::string oldest = kOldest;
    HistoryStatement active(db, ("DELETE FROM active WHERE snapshot IN " + oldest).c_str());
    HistoryStatement counts(db, ("DELETE FROM class_count WHERE snapshot IN " + oldest).c_str());
    HistoryStatement snapshots(db, ("DELETE FROM snapshot WHERE id IN " + oldest).c_str());
    HistoryStatement minutes(db, "DELETE FROM minute_sample WHERE minute < ?1 / 60");
    HistoryStatement minuteCounts(db, "DELETE FROM minute_count WHERE minute < ?1 / 60");
    HistoryStatement minuteSql(db, "DELETE FROM minute_sql WHERE minute < ?1 / 60");
    HistoryStatement minuteSessions(db, "DELETE FROM minute_session WHERE minute < ?1 / 60");
    int removed = -1;
    if (active.Bind(1, cutoff).Run() == SQLITE_DONE &&
        counts.Bind(1, cutoff).Run() == SQLITE_DONE &&
        snapshots.Bind(1, cutoff).Run() == SQLITE_DONE) {
        removed = sqlite3_changes(db.Handle());
    }
    if (removed < 0 || minutes.Bind(1, cutoff).Run() != SQLITE_DONE ||
        minuteCounts.Bind(1, cutoff).Run() != SQLITE_DONE ||
        minuteSql.Bind(1, cutoff).Run() != SQLITE_DONE ||
        minuteSessions.Bind(1, cutoff).Run() != SQLITE_DONE || db.Exec("COMMIT") != SQLITE_OK) {
        db.Exec("ROLLBACK");
        return -1;
    }
    return removed;
}
}  // namespace

int PruneHistory(const QString& path, int keepDays, std::int64_t now) {
    HistoryDatabase db;
    if (db.Open(path, false) != SQLITE_OK) {
        return -1;
    }
    const std::int64_t cutoff = now - std::int64_t(keepDays) * 86400;
    int total = 0;
    for (int removed = PruneStep(db, cutoff); removed != 0; removed = PruneStep(db, cutoff)) {
        if (removed < 0) {
            return -1;
        }
        total += removed;
    }
    return total;
}
