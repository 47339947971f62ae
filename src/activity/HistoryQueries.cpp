// What a chart and the top lists read from the history.

#include <algorithm>
#include <map>

#include "ActivityHistory.h"

namespace {
// Fine buckets count each sample; buckets of whole minutes count the minutes' totals.
constexpr const char* kFineSamples =
    "SELECT (time / ?1) * ?1, COUNT(*) FROM snapshot WHERE time >= ?2 AND time < ?3 "
    "GROUP BY 1 ORDER BY 1";
constexpr const char* kFineClasses =
    "SELECT (s.time / ?1) * ?1, n.text, SUM(c.sessions) FROM snapshot s "
    "JOIN class_count c ON c.snapshot = s.id JOIN name n ON n.id = c.wait_class "
    "WHERE s.time >= ?2 AND s.time < ?3 GROUP BY 1, 2";
constexpr const char* kMinuteSamples =
    "SELECT (minute * 60 / ?1) * ?1, SUM(samples) FROM minute_sample "
    "WHERE minute >= ?2 / 60 AND minute < (?3 + 59) / 60 GROUP BY 1 ORDER BY 1";
constexpr const char* kMinuteClasses =
    "SELECT (c.minute * 60 / ?1) * ?1, n.text, SUM(c.sessions) FROM minute_count c "
    "JOIN name n ON n.id = c.wait_class "
    "WHERE c.minute >= ?2 / 60 AND c.minute < (?3 + 59) / 60 GROUP BY 1, 2";

constexpr const char* kTopSql =
    "SELECT q.text, '', '', '', COUNT(*) FROM snapshot s JOIN active a ON a.snapshot = s.id "
    "JOIN name q ON q.id = a.sql_id WHERE s.time >= ?1 AND s.time < ?2 "
    "GROUP BY a.sql_id ORDER BY 5 DESC, 1 LIMIT ?3";
constexpr const char* kTopSessions =
    "SELECT a.sid || ',' || a.serial, COALESCE(u.text, ''), COALESCE(p.text, ''), '', COUNT(*) "
    "FROM snapshot s JOIN active a ON a.snapshot = s.id LEFT JOIN name u ON u.id = a.username "
    "LEFT JOIN name p ON p.id = a.program WHERE s.time >= ?1 AND s.time < ?2 "
    "GROUP BY a.sid, a.serial, a.username, a.program ORDER BY 5 DESC, a.sid LIMIT ?3";
constexpr const char* kTopEvents =
    "SELECT COALESCE(e.text, w.text), '', '', w.text, COUNT(*) FROM snapshot s "
    "JOIN active a ON a.snapshot = s.id LEFT JOIN name e ON e.id = a.event "
    "JOIN name w ON w.id = a.wait_class WHERE s.time >= ?1 AND s.time < ?2 "
    "GROUP BY a.event, a.wait_class ORDER BY 5 DESC, 1 LIMIT ?3";
// The same for whole minutes, from the counts kept per minute.
constexpr const char* kMinuteTopSql =
    "SELECT q.text, '', '', '', SUM(m.sessions) FROM minute_sql m JOIN name q ON q.id = m.sql_id "
    "WHERE m.minute >= ?1 / 60 AND m.minute < ?2 / 60 GROUP BY m.sql_id ORDER BY 5 DESC, 1 "
    "LIMIT ?3";
constexpr const char* kMinuteTopSessions =
    "SELECT m.sid || ',' || m.serial, COALESCE(u.text, ''), COALESCE(p.text, ''), '', "
    "SUM(m.sessions) FROM minute_session m LEFT JOIN name u ON u.id = m.username "
    "LEFT JOIN name p ON p.id = m.program WHERE m.minute >= ?1 / 60 AND m.minute < ?2 / 60 "
    "GROUP BY m.sid, m.serial, m.username, m.program ORDER BY 5 DESC, m.sid LIMIT ?3";
constexpr const char* kMinuteTotals =
    "SELECT (SELECT COALESCE(SUM(samples), 0) FROM minute_sample WHERE minute >= ?1 / 60 AND "
    "minute < ?2 / 60), (SELECT COALESCE(SUM(sessions), 0) FROM minute_count WHERE minute >= "
    "?1 / 60 AND minute < ?2 / 60)";
constexpr const char* kTotals =
    "SELECT COUNT(*), COALESCE(SUM((SELECT SUM(sessions) FROM class_count c "
    "WHERE c.snapshot = s.id)), 0) FROM snapshot s WHERE s.time >= ?1 AND s.time < ?2";
}  // namespace

std::vector<ActivityBucket> ActivityHistory::ActiveByClass(const HistoryRange& range,
                                                           int bucketSeconds) const {
    const bool byMinute = bucketSeconds % 60 == 0;
    std::map<std::int64_t, ActivityBucket> buckets;
    HistoryStatement samples(m_db, byMinute ? kMinuteSamples : kFineSamples);
    samples.Bind(1, bucketSeconds).Bind(2, range.from).Bind(3, range.to);
    while (samples.Step() == SQLITE_ROW) {
        ActivityBucket& bucket = buckets[samples.Integer(0)];
        bucket.start = samples.Integer(0);
        bucket.samples = int(samples.Integer(1));
    }
    HistoryStatement classes(m_db, byMinute ? kMinuteClasses : kFineClasses);
    classes.Bind(1, bucketSeconds).Bind(2, range.from).Bind(3, range.to);
    while (classes.Step() == SQLITE_ROW) {
        const auto bucket = buckets.find(classes.Integer(0));
        if (bucket != buckets.end() && bucket->second.samples > 0) {
            bucket->second.classes.push_back(
                {classes.Text(1), double(classes.Integer(2)) / bucket->second.samples});
        }
    }
    std::vector<ActivityBucket> result;
    result.reserve(buckets.size());
    for (auto& [start, bucket] : buckets) {
        result.push_back(std::move(bucket));
    }
    return result;
}

std::vector<std::int64_t> ActivityHistory::SampleTimes(const HistoryRange& range) const {
    HistoryStatement times(m_db,
                           "SELECT time FROM snapshot WHERE time >= ? AND time < ? ORDER BY time");
    times.Bind(1, range.from).Bind(2, range.to);
    std::vector<std::int64_t> result;
    while (times.Step() == SQLITE_ROW) {
        result.push_back(times.Integer(0));
    }
    return result;
}

// A range of whole minutes, as the chart's are, reads the counts kept per minute.
std::vector<TopEntry> ActivityHistory::Top(TopBy by, const HistoryRange& range, int limit) const {
    const bool byMinute = by != TopBy::Event && range.from % 60 == 0 && range.to % 60 == 0;
    HistoryStatement totals(m_db, byMinute ? kMinuteTotals : kTotals);
    totals.Bind(1, range.from).Bind(2, range.to);
    if (totals.Step() != SQLITE_ROW || totals.Integer(1) == 0) {
        return {};
    }
    const double samples = double(totals.Integer(0));
    const double sessions = double(totals.Integer(1));
    HistoryStatement top(m_db, by == TopBy::Sql ? (byMinute ? kMinuteTopSql : kTopSql)
                               : by == TopBy::Session
                                   ? (byMinute ? kMinuteTopSessions : kTopSessions)
                                   : kTopEvents);
    top.Bind(1, range.from).Bind(2, range.to).Bind(3, limit);
    std::vector<TopEntry> result;
    while (top.Step() == SQLITE_ROW) {
        const std::int64_t count = top.Integer(4);
        result.push_back({top.Text(0), top.Text(1), top.Text(2), top.Text(3), count,
                          double(count) / sessions, double(count) / samples});
    }
    return result;
}
