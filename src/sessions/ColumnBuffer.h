#pragma once
// The fetch buffer of one text column: rows elements of a fixed width and one indicator each.

#include <string>
#include <vector>

#include "Oci.h"

class ColumnBuffer {
public:
    ColumnBuffer(int width, ub4 rows);

    char* data() { return m_data.data(); }
    sb2* indicators() { return m_indicators.data(); }
    int width() const { return m_width; }

    // Element i as text: empty for NULL; never more than width - 1 characters, and never
    // anything the database did not deliver.
    std::string text(ub4 i) const;

private:
    int m_width;
    std::vector<char> m_data;
    std::vector<sb2> m_indicators;
};
