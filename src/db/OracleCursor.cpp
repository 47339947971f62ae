#include "OracleCursor.h"

#include <cstring>
#include <string>

#include "ErrorReport.h"
#include "OracleConnection.h"

namespace {
constexpr ub2 kNoDataFound = 1403;
constexpr ub2 kExactFetchOverflow = 1422;

// Reports the failure of a call on area and drops the connection; the caller goes on. The
// connection is dropped before the message shows, so that nothing the message's event loop runs
// (a timer's refresh) reaches the failed connection.
void failed(const OciArea& area) {
    OracleConnection& c = TheConnection();
    if (c.failureReported) {
        DropConnection();
        return;
    }
    const std::string text = OciErrorText(area);
    // The calls after it fail only because the connection was dropped: they say nothing.
    c.failureReported = true;
    c.connectionLost = c.loggedOn && IsConnectionLostCode(areaRc(area));
    DropConnection();
    ShowFailureMessage(text);
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

// A lost connection is reported even by a silent execute: it cannot stay up.
bool ExecuteCursor(OracleCursor& cursor, bool report) {
    const bool executed = oexec(&cursor.area) == 0;
    if (!executed && (report || IsConnectionLostCode(areaRc(cursor.area)))) {
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
