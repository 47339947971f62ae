#include "OciMessages.h"

#include "Sim.h"

std::string oracleMessage(int code) {
    switch (code) {
        case OraCode::FetchOutOfSequence:
            return "ORA-01002: fetch out of sequence";
        case OraCode::IntegerOverflow:
            return "ORA-01455: converting column overflows integer datatype";
        case OraCode::UnsupportedConversion:
            return "ORA-01460: unimplemented or unreasonable conversion requested";
        case OraCode::IllegalAttribute:
            return "ORA-24315: illegal attribute type";
        default:
            // The server's catalogue stands in for the client's message files.
            return sim::standardMessage(code);
    }
}
