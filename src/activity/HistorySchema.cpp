#include "HistorySchema.h"

namespace {
// Texts are kept once in name and referred to by id: a week of samples repeats the same few
// hundred users, programs and events millions of times. Counts by wait class are kept per sample
// and per minute beside the sessions, so that a chart of an hour or of a week reads a few
// thousand rows instead of millions.
constexpr const char* kVersion1 = R"(
CREATE TABLE name (id INTEGER PRIMARY KEY, text TEXT NOT NULL UNIQUE);
CREATE TABLE snapshot (id INTEGER PRIMARY KEY, time INTEGER NOT NULL);
CREATE INDEX snapshot_time ON snapshot (time);
CREATE TABLE active (
    snapshot INTEGER NOT NULL, sid INTEGER NOT NULL, serial INTEGER NOT NULL, username INTEGER,
    sql_id INTEGER, event INTEGER, wait_class INTEGER NOT NULL, blocking_session INTEGER,
    module INTEGER, program INTEGER, machine INTEGER,
    PRIMARY KEY (snapshot, sid)) WITHOUT ROWID;
CREATE TABLE class_count (
    snapshot INTEGER NOT NULL, wait_class INTEGER NOT NULL, sessions INTEGER NOT NULL,
    PRIMARY KEY (snapshot, wait_class)) WITHOUT ROWID;
CREATE TABLE minute_sample (minute INTEGER PRIMARY KEY, samples INTEGER NOT NULL);
CREATE TABLE minute_count (
    minute INTEGER NOT NULL, wait_class INTEGER NOT NULL, sessions INTEGER NOT NULL,
    PRIMARY KEY (minute, wait_class)) WITHOUT ROWID;
)";

// Counts by statement and by session per minute, so that the top lists of a week read a few
// hundred thousand rows instead of tens of millions; 0 stands for a name the session had not.
constexpr const char* kVersion2 = R"(
CREATE TABLE minute_sql (
    minute INTEGER NOT NULL, sql_id INTEGER NOT NULL, sessions INTEGER NOT NULL,
    PRIMARY KEY (minute, sql_id)) WITHOUT ROWID;
CREATE TABLE minute_session (
    minute INTEGER NOT NULL, sid INTEGER NOT NULL, serial INTEGER NOT NULL,
    username INTEGER NOT NULL, program INTEGER NOT NULL, sessions INTEGER NOT NULL,
    PRIMARY KEY (minute, sid, serial, username, program)) WITHOUT ROWID;
INSERT INTO minute_sql SELECT s.time / 60, a.sql_id, COUNT(*) FROM snapshot s
    JOIN active a ON a.snapshot = s.id WHERE a.sql_id IS NOT NULL GROUP BY 1, 2;
INSERT INTO minute_session SELECT s.time / 60, a.sid, a.serial, COALESCE(a.username, 0),
    COALESCE(a.program, 0), COUNT(*) FROM snapshot s JOIN active a ON a.snapshot = s.id
    GROUP BY 1, 2, 3, 4, 5;
)";
}  // namespace

const char* HistoryMigration(int fromVersion) {
    switch (fromVersion) {
        case 0:
            return kVersion1;
        case 1:
            return kVersion2;
        default:
            return nullptr;
    }
}
