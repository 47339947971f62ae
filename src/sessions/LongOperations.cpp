#include "LongOperations.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "ColumnBuffer.h"
#include "OracleCursor.h"
#include "SessionRecords.h"
#include "SessionStatements.h"

namespace {
constexpr ub2 kTableOrViewDoesNotExist = 942;
constexpr ub2 kExactFetchOverflow = 1422;
// The view keeps a few hundred rows; a busier one is read again with room for all of them.
constexpr ub4 kFirstCapacity = 256;
constexpr int kNumberText = 40 + 1;
constexpr int kDateText = 19 + 1;

// SID, SERIAL#, OPNAME, TARGET, SOFAR, TOTALWORK, UNITS, the two times, ELAPSED_SECONDS,
// TIME_REMAINING, MESSAGE.
const int kWidths[] = {FetchWidth::Number,
                       FetchWidth::Number,
                       ConvertedWidth(64 + 1),
                       ConvertedWidth(64 + 1),
                       kNumberText,
                       kNumberText,
                       ConvertedWidth(32 + 1),
                       kDateText,
                       kDateText,
                       kNumberText,
                       kNumberText,
                       ConvertedWidth(512 + 1)};
}  // namespace

std::string LongOperationsStatement() {
    return "SELECT sid, serial#, opname, target, sofar, totalwork, units, TO_CHAR(start_time, "
           "'YYYY-MM-DD HH24:MI:SS'), TO_CHAR(last_update_time, 'YYYY-MM-DD HH24:MI:SS'), "
           "elapsed_seconds, time_remaining, message FROM sys.v_$session_longops ORDER BY "
           "last_update_time DESC";
}

std::optional<std::vector<LongOperation>> QueryLongOperations() {
    for (ub4 capacity = kFirstCapacity;; capacity *= 2) {
        std::vector<ColumnBuffer> columns =
            ColumnBuffers({std::begin(kWidths), std::end(kWidths)}, capacity);
        const DatabaseOperation read;
        OracleCursor cursor;
        OpenCursor(cursor);
        ParseStatement(cursor, LongOperationsStatement().c_str());
        DefineColumns(cursor, columns);
        ub4 rows = capacity;
        ExecuteFetch(cursor, rows, kTableOrViewDoesNotExist);
        const ub2 code = LastErrorCode(cursor);
        CloseCursor(cursor);
        if (code == kTableOrViewDoesNotExist || read.Failed()) {
            return std::nullopt;
        }
        if (code == kExactFetchOverflow) {
            continue;
        }
        std::vector<LongOperation> operations;
        for (ub4 i = 0; i < std::min(rows, capacity); ++i) {
            const auto text = [&](int p) { return columns[std::size_t(p)].text(i); };
            operations.push_back({text(0), text(1), text(2), text(3), std::atoll(text(4).c_str()),
                                  std::atoll(text(5).c_str()), text(6), text(7), text(8), text(9),
                                  text(10), text(11)});
        }
        return operations;
    }
}

const LongOperation* CurrentOperation(const std::vector<LongOperation>& operations,
                                      const std::string& sid, const std::string& serial) {
    const LongOperation* newest = nullptr;
    for (const LongOperation& op : operations) {
        if (op.sid == sid && op.serial == serial && op.Unfinished() &&
            (!newest || op.lastUpdate > newest->lastUpdate)) {
            newest = &op;
        }
    }
    return newest;
}

std::vector<LongOperation> OperationsOf(const std::vector<LongOperation>& operations,
                                        const std::string& sid, const std::string& serial) {
    std::vector<LongOperation> own;
    std::copy_if(operations.begin(), operations.end(), std::back_inserter(own),
                 [&](const LongOperation& op) { return op.sid == sid && op.serial == serial; });
    return own;
}

std::string ProgressText(const LongOperation& operation) {
    if (!operation.Unfinished() || operation.sofar < 0) {
        return {};
    }
    // Rounded down, so that work not yet done never reads as 100%.
    const long long percent = operation.sofar * 100 / operation.totalwork;
    const std::string left = RemainingText(operation.remaining);
    return std::to_string(percent) + "%" + (left.empty() ? "" : " - " + left + " left");
}

std::string RemainingText(const std::string& seconds) {
    if (!IsDigits(seconds) || seconds.size() > 12) {
        return {};
    }
    const long long total = std::atoll(seconds.c_str());
    if (total < 60) {
        return "under 1 min";
    }
    // Whole minutes rounded up: "1 min" is what is left of 61 seconds.
    const long long minutes = (total + 59) / 60;
    if (minutes < 60) {
        return std::to_string(minutes) + " min";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%lld h %02lld min", minutes / 60, minutes % 60);
    return text;
}

std::string DoneText(const LongOperation& operation) {
    return std::to_string(operation.sofar) + " of " + std::to_string(operation.totalwork) +
           (operation.units.empty() ? "" : " " + operation.units);
}

std::optional<int> ProgressPercent(const std::string& text) {
    const std::size_t sign = text.find('%');
    if (sign == std::string::npos || sign == 0 || sign > 3 || !IsDigits(text.substr(0, sign))) {
        return std::nullopt;
    }
    return std::atoi(text.c_str());
}
