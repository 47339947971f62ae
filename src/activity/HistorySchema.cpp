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
}  // namespace

const char* HistoryMigration(int fromVersion) {
    switch (fromVersion) {
        case 0:
            return kVersion1;
        default:
            return nullptr;
    }
}
