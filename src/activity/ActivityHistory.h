#pragma once
// The local history of one database instance's activity: a private SQLite file that keeps the
// samples for a number of days, that several Nimbra windows may write at once, and that answers
// what a chart and the top lists ask of it.

#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ActivitySample.h"
#include "HistoryDatabase.h"

// Seconds [from, to) since 1970-01-01 UTC.
struct HistoryRange {
    std::int64_t from = 0;
    std::int64_t to = 0;

    bool operator==(const HistoryRange&) const = default;
};

// Sampled sessions of one wait class (or kOnCpu) in a bucket, per sample.
struct ClassActivity {
    std::string waitClass;
    double averageActive = 0;
};

// One stretch of time that holds samples; a stretch without any has no bucket, so that a chart
// shows a gap instead of a fall to zero.
struct ActivityBucket {
    std::int64_t start = 0;
    int samples = 0;
    // By wait class name; classes no session was in are left out.
    std::vector<ClassActivity> classes;
};

enum class TopBy { Sql, Session, Event };

// One line of a top list.
struct TopEntry {
    // The SQL_ID, "sid,serial#", or the event ("ON CPU" for sessions on CPU).
    std::string key;
    // Sessions: the user and program; events: the wait class.
    std::string user;
    std::string program;
    std::string waitClass;
    // Sampled active sessions it accounts for.
    std::int64_t count = 0;
    // Of all sampled active sessions in the range, 0 to 1.
    double share = 0;
    // count per sample taken in the range.
    double averageActive = 0;
};

enum class HistoryAccess { Write, Read };

class ActivityHistory {
public:
    struct Opening {
        // Null when the file could not be used; message says why.
        std::unique_ptr<ActivityHistory> history;
        // The one text to show the user, empty when there is nothing to say: a damaged file or
        // one of a newer Nimbra moved aside, a read of a history that does not exist.
        QString message;
    };
    // Write creates the file (0600, in a folder of 0700), brings an older schema up to date,
    // and moves a damaged or newer file aside to start a fresh one. Read only reads.
    static Opening Open(const QString& path, HistoryAccess access);

    ~ActivityHistory();
    ActivityHistory(const ActivityHistory&) = delete;
    ActivityHistory& operator=(const ActivityHistory&) = delete;

    const QString& Path() const { return m_path; }

    // Keeps one sample until the next Flush; no sessions is a sample all the same, of an idle
    // instance.
    void Append(std::int64_t sampleTime, const std::vector<ActivitySample>& sessions);
    // Writes the kept samples in one transaction. When the disk is full they stay in memory for
    // the next Flush, and message says so once until a write succeeds again. False when
    // nothing was written.
    bool Flush(QString& message);
    std::size_t PendingSamples() const { return m_pending.size(); }
    // Caps the file at this many pages, as a full disk would.
    void LimitPages(int pages);

    // Buckets start at whole multiples of bucketSeconds; buckets of whole minutes count whole
    // minutes.
    std::vector<ActivityBucket> ActiveByClass(const HistoryRange& range, int bucketSeconds) const;
    // When each sample in the range was taken, in order.
    std::vector<std::int64_t> SampleTimes(const HistoryRange& range) const;
    // The entries with the most sampled activity in the range, most first.
    std::vector<TopEntry> Top(TopBy by, const HistoryRange& range, int limit) const;

private:
    struct Pending {
        std::int64_t time;
        std::vector<ActivitySample> sessions;
    };
    ActivityHistory(QString path, HistoryDatabase db);
    // Writes the pending samples inside the open transaction; the SQLite code of a failure.
    int WritePending(std::unordered_map<std::string, std::int64_t>& newNames);
    // The id of a text in the name table, 0 for an empty one.
    std::int64_t NameId(const std::string& text,
                        std::unordered_map<std::string, std::int64_t>& newNames);

    QString m_path;
    HistoryDatabase m_db;
    std::vector<Pending> m_pending;
    std::unordered_map<std::string, std::int64_t> m_names;
    bool m_bFullSaid = false;
    // A name that could not be stored while writing, as its SQLite code.
    int m_nNameFailure = SQLITE_OK;
};

// The folder of the histories: Velmoor/Nimbra in the user's data folder ($XDG_DATA_HOME, else
// ~/.local/share).
QString HistoryFolder();

// Removes the samples older than keepDays days before now, through a connection of its own, so
// that it may run on any thread while the history is written. Returns the samples removed, -1
// when the file could not be pruned.
int PruneHistory(const QString& path, int keepDays, std::int64_t now);
inline constexpr int kDefaultKeepDays = 7;
