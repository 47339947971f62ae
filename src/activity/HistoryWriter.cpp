// Writing samples: in batches, one transaction each, and kept in memory while the disk is full.

#include <map>
#include <utility>

#include "ActivityHistory.h"

namespace {
// A day of samples at one a second; beyond it the oldest kept samples are given up.
constexpr std::size_t kMostPending = 86400;

std::int64_t MinuteOf(std::int64_t time) {
    return time >= 0 ? time / 60 : (time - 59) / 60;
}

bool IsFullCode(int code) {
    return (code & 0xFF) == SQLITE_FULL;
}
}  // namespace

void ActivityHistory::Append(std::int64_t sampleTime, const std::vector<ActivitySample>& sessions) {
    if (m_pending.size() >= kMostPending) {
        m_pending.erase(m_pending.begin());
    }
    m_pending.push_back({sampleTime, sessions});
}

void ActivityHistory::LimitPages(int pages) {
    const std::string pragma = "PRAGMA max_page_count = " + std::to_string(pages);
    m_db.Exec(pragma.c_str());
}

bool ActivityHistory::Flush(QString& message) {
    message.clear();
    if (m_pending.empty()) {
        return false;
    }
    std::unordered_map<std::string, std::int64_t> newNames;
    int rc = m_db.Exec("BEGIN IMMEDIATE");
    if (rc == SQLITE_OK) {
        rc = WritePending(newNames);
    }
    if (rc == SQLITE_OK) {
        rc = m_db.Exec("COMMIT");
    }
    if (rc != SQLITE_OK) {
        m_db.Exec("ROLLBACK");
        if (IsFullCode(rc) && !m_bFullSaid) {
            m_bFullSaid = true;
            message = QStringLiteral(
                          "The disk of the activity history %1 is full. Samples are "
                          "kept in memory until it has room again.")
                          .arg(m_path);
        }
        return false;
    }
    m_names.merge(newNames);
    m_pending.clear();
    m_bFullSaid = false;
    return true;
}

std::int64_t ActivityHistory::NameId(const std::string& text,
                                     std::unordered_map<std::string, std::int64_t>& newNames) {
    if (text.empty()) {
        return 0;
    }
    if (const auto known = m_names.find(text); known != m_names.end()) {
        return known->second;
    }
    if (const auto added = newNames.find(text); added != newNames.end()) {
        return added->second;
    }
    HistoryStatement insert(m_db, "INSERT OR IGNORE INTO name (text) VALUES (?)");
    if (const int rc = insert.Bind(1, text).Run(); rc != SQLITE_DONE) {
        m_nNameFailure = rc;
        return 0;
    }
    HistoryStatement select(m_db, "SELECT id FROM name WHERE text = ?");
    select.Bind(1, text);
    const std::int64_t id = select.Step() == SQLITE_ROW ? select.Integer(0) : 0;
    newNames.emplace(text, id);
    return id;
}

int ActivityHistory::WritePending(std::unordered_map<std::string, std::int64_t>& newNames) {
    HistoryStatement snapshot(m_db, "INSERT INTO snapshot (time) VALUES (?)");
    HistoryStatement active(m_db,
                            "INSERT OR IGNORE INTO active VALUES (?, ?, ?, NULLIF(?, 0), "
                            "NULLIF(?, 0), NULLIF(?, 0), ?, NULLIF(?, 0), NULLIF(?, 0), "
                            "NULLIF(?, 0), NULLIF(?, 0))");
    HistoryStatement classCount(m_db, "INSERT INTO class_count VALUES (?, ?, ?)");
    HistoryStatement minuteSample(m_db,
                                  "INSERT INTO minute_sample VALUES (?, 1) ON CONFLICT (minute) "
                                  "DO UPDATE SET samples = samples + 1");
    HistoryStatement minuteCount(m_db,
                                 "INSERT INTO minute_count VALUES (?, ?, ?) ON CONFLICT (minute, "
                                 "wait_class) DO UPDATE SET sessions = sessions + "
                                 "excluded.sessions");
    HistoryStatement minuteSql(m_db,
                               "INSERT INTO minute_sql VALUES (?, ?, 1) ON CONFLICT (minute, "
                               "sql_id) DO UPDATE SET sessions = sessions + 1");
    HistoryStatement minuteSession(m_db,
                                   "INSERT INTO minute_session VALUES (?, ?, ?, ?, ?, 1) ON "
                                   "CONFLICT (minute, sid, serial, username, program) DO UPDATE "
                                   "SET sessions = sessions + 1");
    for (const Pending& sample : m_pending) {
        int rc = snapshot.Bind(1, sample.time).Run();
        if (rc != SQLITE_DONE) {
            return rc;
        }
        const std::int64_t id = sqlite3_last_insert_rowid(m_db.Handle());
        const std::int64_t minute = MinuteOf(sample.time);
        std::map<std::int64_t, std::int64_t> byClass;
        for (const ActivitySample& s : sample.sessions) {
            const std::int64_t waitClass =
                NameId(s.waitClass.empty() ? kOnCpu : s.waitClass, newNames);
            rc = active.Bind(1, id)
                     .Bind(2, s.sid)
                     .Bind(3, s.serial)
                     .Bind(4, NameId(s.user, newNames))
                     .Bind(5, NameId(s.sqlId, newNames))
                     .Bind(6, NameId(s.event, newNames))
                     .Bind(7, waitClass)
                     .Bind(8, s.blockingSession)
                     .Bind(9, NameId(s.module, newNames))
                     .Bind(10, NameId(s.program, newNames))
                     .Bind(11, NameId(s.machine, newNames))
                     .Run();
            if (m_nNameFailure != SQLITE_OK) {
                return std::exchange(m_nNameFailure, SQLITE_OK);
            }
            if (rc != SQLITE_DONE) {
                return rc;
            }
            const std::int64_t sqlId = NameId(s.sqlId, newNames);
            if (sqlId != 0 &&
                (rc = minuteSql.Bind(1, minute).Bind(2, sqlId).Run()) != SQLITE_DONE) {
                return rc;
            }
            rc = minuteSession.Bind(1, minute)
                     .Bind(2, s.sid)
                     .Bind(3, s.serial)
                     .Bind(4, NameId(s.user, newNames))
                     .Bind(5, NameId(s.program, newNames))
                     .Run();
            if (rc != SQLITE_DONE) {
                return rc;
            }
            ++byClass[waitClass];
        }
        if ((rc = minuteSample.Bind(1, minute).Run()) != SQLITE_DONE) {
            return rc;
        }
        for (const auto& [waitClass, sessions] : byClass) {
            if ((rc = classCount.Bind(1, id).Bind(2, waitClass).Bind(3, sessions).Run()) !=
                    SQLITE_DONE ||
                (rc = minuteCount.Bind(1, minute).Bind(2, waitClass).Bind(3, sessions).Run()) !=
                    SQLITE_DONE) {
                return rc;
            }
        }
    }
    return SQLITE_OK;
}
