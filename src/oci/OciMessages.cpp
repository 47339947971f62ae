#include "OciMessages.h"

#include "Sim.h"

std::string oracleMessage(int code) {
    switch (code) {
        case OraCode::InvalidCursor:
            return "ORA-01001: invalid cursor";
        case OraCode::FetchOutOfSequence:
            return "ORA-01002: fetch out of sequence";
        case OraCode::NotInSelectList:
            return "ORA-01007: variable not in select list";
        case OraCode::NotLoggedOn:
            return "ORA-01012: not logged on";
        case OraCode::NullWithoutIndicator:
            return "ORA-01405: fetched column value is NULL";
        case OraCode::Truncated:
            return "ORA-01406: fetched column value was truncated";
        case OraCode::IntegerOverflow:
            return "ORA-01455: converting column overflows integer datatype";
        case OraCode::UnsupportedConversion:
            return "ORA-01460: unimplemented or unreasonable conversion requested";
        case OraCode::InvalidNumber:
            return "ORA-01722: invalid number";
        case OraCode::NoInterfaceDriver:
            return "ORA-03121: no interface driver connected - function not performed";
        default:
            // The server's catalogue stands in for the client's message files.
            return sim::standardMessage(code);
    }
}
