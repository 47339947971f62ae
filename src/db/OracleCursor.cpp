#include "OracleCursor.h"

#include <cstring>
#include <string>

#include "ErrorReport.h"
#include "OracleConnection.h"

namespace {
constexpr ub2 kNoDataFound = 1403;
constexpr ub2 kExactFetchOverflow = 1422;

std::string timedOutText(const std::string& failure, int seconds) {
    return failure + "\nThe database did not answer within the time limit of " +
           std::to_string(seconds) + (seconds == 1 ? " second" : " seconds") +
           ", so the call was given up. The connection still answers and stays open.";
}

// Reports the failure of a call on area and drops the connection, unless the call was cut at the
// time limit and the connection still answers; the caller goes on. The connection is dropped
// before the message shows, so that nothing the message's event loop runs (a timer's refresh)
// reaches the failed connection.
void failed(const OciArea& area) {
    OracleConnection& c = TheConnection();
    ++c.failures;
    if (c.failureReported && !c.loggedOn) {
        return;
    }
    const ub2 rc = areaRc(area);
    const bool quiet = c.failureReported;
    const std::string text = quiet ? std::string() : OciErrorText(area);
    const bool timedOut = IsCallTimeoutCode(rc) && c.callLimitSeconds > 0;
    const bool lost =
        c.loggedOn && (!ConnectionAnswers() || (IsConnectionLostCode(rc) && !timedOut));
    // The calls after it fail only because of it: they say nothing.
    c.failureReported = true;
    if (c.loggedOn && !lost && (timedOut || quiet)) {
        if (!quiet) {
            ShowFailureMessage(timedOutText(text, c.callLimitSeconds));
        }
        return;
    }
    c.connectionLost = lost;
    DropConnection();
    if (!quiet) {
        ShowFailureMessage(text);
    }
}

// What a silent execute reports all the same: what ends or cuts the connection.
bool mustReport(ub2 rc) {
    return IsConnectionLostCode(rc) || IsCallTimeoutCode(rc) ||
           (IsLoggedOn() && !ConnectionAnswers());
}

void check(sword result, const OciArea& area) {
    if (result != 0) {
        failed(area);
    }
}
}  // namespace

void OpenCursor(OracleCursor& cursor) {
    std::memset(cursor.area.bytes, 0, sizeof cursor.area.bytes);
    check(oopen(&cursor.area, &TheConnection().logonArea, nullptr, -1, -1, nullptr, -1),
          cursor.area);
}

void ParseStatement(OracleCursor& cursor, const char* sqlText) {
    check(oparse(&cursor.area, reinterpret_cast<const text*>(sqlText), -1, 1, 2), cursor.area);
}

void DefineScalar(OracleCursor& cursor, int position, void* buffer, int length, int type,
                  sb2* indicator) {
    OracleConnection& c = TheConnection();
    check(odefin(&cursor.area, position, static_cast<ub1*>(buffer), length, type, -1, indicator,
                 nullptr, -1, -1, &c.scalarLength, &c.scalarCode),
          cursor.area);
}

void DefineColumn(OracleCursor& cursor, int position, void* buffer, int width, int type,
                  sb2* indicators, ub2* lengths, ub2* codes) {
    check(odefin(&cursor.area, position, static_cast<ub1*>(buffer), width, type, -1, indicators,
                 nullptr, -1, -1, lengths, codes),
          cursor.area);
}

bool ExecuteCursor(OracleCursor& cursor, bool report) {
    const bool executed = oexec(&cursor.area) == 0;
    if (!executed && (report || mustReport(areaRc(cursor.area)))) {
        failed(cursor.area);
    }
    return executed;
}

// The end of the rows ends the caller's loop silently; a failure is reported, so that rows
// read up to it are never taken for all of them.
bool FetchRow(OracleCursor& cursor) {
    if (ofetch(&cursor.area) == 0) {
        return true;
    }
    if (areaRc(cursor.area) != kNoDataFound) {
        failed(cursor.area);
    }
    return false;
}

bool ExecuteFetch(OracleCursor& cursor, ub4& rows, ub2 quietCode) {
    bool result = true;
    if (oexfet(&cursor.area, rows, 0, 1) != 0) {
        const ub2 rc = areaRc(cursor.area);
        if (rc == kNoDataFound) {
            result = false;
        } else if (rc != kExactFetchOverflow && (rc != quietCode || quietCode == 0)) {
            failed(cursor.area);
        }
    }
    rows = areaRpc(cursor.area);
    return result;
}

void CloseCursor(OracleCursor& cursor) {
    check(oclose(&cursor.area), cursor.area);
}
