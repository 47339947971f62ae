#include "ColumnBuffer.h"

#include "OracleCursor.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr sb2 kNullIndicator = -1;
// The value was cut and was too long for its length to be reported.
constexpr sb2 kTruncatedTooLong = -2;

bool isTruncated(sb2 indicator) {
    return indicator > 0 || indicator == kTruncatedTooLong;
}

// The number of bytes a UTF-8 sequence has that begins with lead; 1 for anything else.
std::size_t sequenceLength(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}
}  // namespace

std::string WithoutBrokenTail(std::string text) {
    std::size_t start = text.size();
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80 &&
           text.size() - start < 3) {
        --start;
    }
    if (start == 0) {
        return text;
    }
    const std::size_t lead = start - 1;
    if (lead + sequenceLength(static_cast<unsigned char>(text[lead])) > text.size()) {
        text.resize(lead);
    }
    return text;
}

ColumnBuffer::ColumnBuffer(int width, ub4 rows)
    : m_width(width),
      m_data(std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(width) * rows)),
      m_indicators(rows, kNullIndicator) {
    for (ub4 i = 0; i < rows; ++i) {
        m_data[static_cast<std::size_t>(i) * static_cast<std::size_t>(width)] = '\0';
    }
}

std::string ColumnBuffer::text(ub4 i) const {
    if (i >= m_indicators.size() || m_indicators[i] == kNullIndicator) {
        return {};
    }
    const char* element = m_data.get() + static_cast<std::size_t>(i) * m_width;
    std::string value(element, strnlen(element, static_cast<std::size_t>(m_width - 1)));
    return isTruncated(m_indicators[i]) ? WithoutBrokenTail(std::move(value)) : value;
}

bool ColumnBuffer::truncated(ub4 rows) const {
    const auto end = m_indicators.begin() + std::min<std::size_t>(rows, m_indicators.size());
    return std::any_of(m_indicators.begin(), end, isTruncated);
}

std::vector<ColumnBuffer> ColumnBuffers(const std::vector<int>& widths, ub4 capacity) {
    std::vector<ColumnBuffer> columns;
    columns.reserve(widths.size());
    for (int width : widths) {
        columns.emplace_back(width, capacity);
    }
    return columns;
}

void DefineColumns(OracleCursor& cursor, std::vector<ColumnBuffer>& columns) {
    for (std::size_t p = 0; p < columns.size(); ++p) {
        DefineColumn(cursor, int(p + 1), columns[p].data(), columns[p].width(), kExtString,
                     columns[p].indicators());
    }
}
