#pragma once
// A cursor of ClientProvider: its statement handle, the caller's defines, and the private arrays
// that let one execute fetch a row more than the caller's buffers have room for.

#include <cstddef>
#include <map>
#include <vector>

#include "OciDefine.h"

// The rows of one column as the client library writes them when they do not go straight to the
// caller: same element length, and always indicators, so that a NULL in a row the caller never
// sees fails nothing.
struct StagedColumn {
    std::vector<ub1> values;
    std::vector<sb2> indicators;
    std::vector<ub2> lengths;
    std::vector<ub2> codes;

    // Room for rows rows of define's shape.
    void resize(const OciDefine& define, ub4 rows);
    // The define that points the client library at these arrays.
    OciDefine target(const OciDefine& define);
};

struct ClientDefine {
    OciDefine caller;
    void* handle = nullptr;  // the library's define handle; freed with the statement
    bool staged = false;     // the library writes into staging, not into the caller's buffers
    StagedColumn staging;
};

struct ClientCursor {
    ub4 connection = 0;
    void* statement = nullptr;
    std::map<sword, ClientDefine> defines;
    // Rows fetched but never delivered: the extra row of an exact execute-and-fetch.
    ub4 hiddenRows = 0;
};

// Makes a fetched element what the caller relies on: a NULL string reads empty, a cut one ends
// with a NUL within the buffer.
void finishElement(const OciDefine& define, std::size_t element);
// Copies element of the staged rows into the caller's buffers, finished as above; 0, or the error
// of a NULL for a caller without indicators.
int deliverStaged(const ClientDefine& define, std::size_t element);
// Delivers the first rows staged rows of every define, stopping at the first that fails;
// delivered gets the rows the caller has.
int deliverStagedRows(const ClientCursor& cursor, ub4 rows, ub4& delivered);
