#pragma once
// Long operations (V$SESSION_LONGOPS): what each session has been doing for longer than a few
// seconds, how far it has come and how long the server expects it to take yet.

#include <optional>
#include <string>
#include <vector>

struct LongOperation {
    std::string sid;
    std::string serial;
    std::string operation;  // OPNAME
    std::string target;
    long long sofar = 0;
    long long totalwork = 0;
    std::string units;
    std::string started;     // 'YYYY-MM-DD HH24:MI:SS'
    std::string lastUpdate;  // the same layout, which sorts in time order
    std::string elapsed;     // seconds, as the server wrote them
    std::string remaining;   // seconds; empty when the server cannot tell yet
    std::string message;

    // Work is left to do; totalwork 0 (the amount is unknown) is never unfinished.
    bool Unfinished() const { return sofar < totalwork; }
};

std::string LongOperationsStatement();
// Every operation the view lists, the newest first; nullopt when the user may not read it
// (ORA-00942, said nowhere) or the statement failed (reported).
std::optional<std::vector<LongOperation>> QueryLongOperations();

// The session's unfinished operation updated last; null when it has none.
const LongOperation* CurrentOperation(const std::vector<LongOperation>& operations,
                                      const std::string& sid, const std::string& serial);
// The session's operations, in the order given.
std::vector<LongOperation> OperationsOf(const std::vector<LongOperation>& operations,
                                        const std::string& sid, const std::string& serial);

// "47% - 3 min left", "47%" while the server cannot tell the time left; empty for an operation
// that is finished or whose amount of work is unknown.
std::string ProgressText(const LongOperation& operation);
// Seconds as "3 min", "1 h 05 min", "under 1 min"; empty when not digits.
std::string RemainingText(const std::string& seconds);
// "83808 of 186240 Blocks".
std::string DoneText(const LongOperation& operation);
// The percent at the start of a progress text; nullopt for any other text.
std::optional<int> ProgressPercent(const std::string& text);
