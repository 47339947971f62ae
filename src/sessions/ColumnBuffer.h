#pragma once
// The fetch buffer of one text column: rows elements of a fixed width and one indicator each.

#include <memory>
#include <string>
#include <vector>

#include "Oci.h"

class ColumnBuffer {
public:
    ColumnBuffer(int width, ub4 rows);

    char* data() { return m_data.get(); }
    sb2* indicators() { return m_indicators.data(); }
    int width() const { return m_width; }

    // Element i as text: empty for NULL; never more than width - 1 bytes, never anything the
    // database did not deliver, and never the first bytes of a character whose rest was cut.
    std::string text(ub4 i) const;
    // Whether the database reported a value among the first rows cut to the width.
    bool truncated(ub4 rows) const;

private:
    int m_width;
    // Only the first byte of each element is set up front: the rest is written by the fetch,
    // and an element it never reached reads as empty through its indicator.
    std::unique_ptr<char[]> m_data;
    std::vector<sb2> m_indicators;
};

// A buffer of capacity rows for each width, in order.
std::vector<ColumnBuffer> ColumnBuffers(const std::vector<int>& widths, ub4 capacity);
struct OracleCursor;
// Defines each buffer as the text output column of its position, the first at 1.
void DefineColumns(OracleCursor& cursor, std::vector<ColumnBuffer>& columns);

// text without a last character that lacks some of its UTF-8 bytes.
std::string WithoutBrokenTail(std::string text);
