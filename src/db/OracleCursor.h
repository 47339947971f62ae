#pragma once
// Statement cursors over the one connection. Each wrapper checks its client-library call; a
// failure is reported at once, the connection dropped, and the caller goes on.

#include "Oci.h"
#include "OracleConnection.h"

struct OracleCursor {
    Cda_Def area{};
    // A statement is an operation of its own, inside any that its caller began.
    DatabaseOperation operation;
};

void OpenCursor(OracleCursor& cursor);
void ParseStatement(OracleCursor& cursor, const char* sqlText);
// One output value of a single-row statement; position counts from 1.
void DefineScalar(OracleCursor& cursor, int position, void* buffer, int length, int type,
                  sb2* indicator);
// One output column, for one or many rows; lengths and codes may be null.
void DefineColumn(OracleCursor& cursor, int position, void* buffer, int width, int type,
                  sb2* indicators, ub2* lengths = nullptr, ub2* codes = nullptr);
// True when the statement executed; report false keeps a refusal silent and the connection up;
// the loss of the connection and a call cut at the time limit are reported all the same.
bool ExecuteCursor(OracleCursor& cursor, bool report);
// True when a row was fetched; the end of the rows and a failure both end the caller's loop, and
// a failure is reported.
bool FetchRow(OracleCursor& cursor);
// Executes and fetches up to rows rows in one call; afterwards rows holds the rows delivered.
// False only when fewer rows existed than asked for (ORA-01403). A failure with the error number
// quietCode is left to the caller: nothing is shown and the connection stays up.
bool ExecuteFetch(OracleCursor& cursor, ub4& rows, ub2 quietCode = 0);
void CloseCursor(OracleCursor& cursor);

// The Oracle error number of the cursor's last call (0 after success).
inline ub2 LastErrorCode(const OracleCursor& cursor) {
    return areaRc(cursor.area);
}
