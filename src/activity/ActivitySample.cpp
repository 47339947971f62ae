#include "ActivitySample.h"

#include <charconv>

#include "OracleConnection.h"
#include "TextRows.h"

const char* const kActivitySampleStatement =
    "SELECT sid, serial#, username, sql_id, CASE WHEN state = 'WAITING' THEN event END, "
    "CASE WHEN state = 'WAITING' THEN wait_class ELSE 'ON CPU' END, blocking_session, module, "
    "program, machine FROM sys.v_$session WHERE status = 'ACTIVE' AND (state <> 'WAITING' OR "
    "wait_class <> 'Idle')";

namespace {
// Widths of the fetch buffers: V$SESSION's widths of 19c and the NUL.
const std::vector<int> kWidths = {41, 41, 129, 14, 65, 65, 41, 65, 49, 65};

// More active sessions than this in one sample are beyond any instance's CPUs; the rest of them
// are left out of the sample.
constexpr ub4 kMostSessions = 4096;

int numberOf(const std::string& text) {
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}
}  // namespace

std::optional<std::vector<ActivitySample>> TakeActivitySample(std::int64_t sampleTime) {
    DatabaseOperation operation;
    const std::optional<TextRows> rows =
        FetchTextRows(kActivitySampleStatement, kWidths, kMostSessions, 0);
    if (!rows || operation.Failed()) {
        return std::nullopt;
    }
    std::vector<ActivitySample> samples;
    samples.reserve(rows->size());
    for (const std::vector<std::string>& row : *rows) {
        samples.push_back({sampleTime, numberOf(row[0]), numberOf(row[1]), row[2], row[3], row[4],
                           row[5], numberOf(row[6]), row[7], row[8], row[9]});
    }
    return samples;
}
