#include "ColumnBuffer.h"

#include <cstring>

namespace {
constexpr sb2 kNullIndicator = -1;
}

// Zeroed and marked NULL up front, so an element the fetch never reached reads as empty.
ColumnBuffer::ColumnBuffer(int width, ub4 rows)
    : m_width(width),
      m_data(static_cast<std::size_t>(width) * rows, '\0'),
      m_indicators(rows, kNullIndicator) {}

std::string ColumnBuffer::text(ub4 i) const {
    if (i >= m_indicators.size() || m_indicators[i] == kNullIndicator) {
        return {};
    }
    const char* element = m_data.data() + static_cast<std::size_t>(i) * m_width;
    return std::string(element, strnlen(element, static_cast<std::size_t>(m_width - 1)));
}
