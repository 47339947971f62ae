#include "SortKey.h"

#include <QCollator>
#include <QString>
#include <charconv>

#include "LongOperations.h"

namespace {
const QCollator& textOrder() {
    static const QCollator collator = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

QCollatorSortKey textKey(std::string_view text) {
    // Folded first: the collator's own case folding does not reach its sort keys in every
    // locale (in "C" they are the bytes).
    return textOrder().sortKey(
        QString::fromUtf8(text.data(), qsizetype(text.size())).toCaseFolded());
}

// "2024-03-05 14:07:09" as 20240305140709: its digits in order are its place in time.
std::optional<double> dateNumber(std::string_view value) {
    double number = 0;
    for (char c : value) {
        if (c >= '0' && c <= '9') {
            number = number * 10 + (c - '0');
        } else if (c != '-' && c != ' ' && c != ':') {
            return std::nullopt;
        }
    }
    return number;
}

std::optional<double> number(ColumnKind kind, std::string_view value) {
    if (kind == ColumnKind::Date) {
        return dateNumber(value);
    }
    if (kind == ColumnKind::Progress) {
        const std::optional<int> percent = ProgressPercent(std::string(value));
        return percent ? std::optional<double>(*percent) : std::nullopt;
    }
    double n = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
    return error == std::errc() && end == value.data() + value.size() ? std::optional<double>(n)
                                                                      : std::nullopt;
}
}  // namespace

const QCollatorSortKey& TextKeys::Of(std::string_view text) {
    // Past this many distinct texts the table starts afresh rather than grow without end.
    constexpr std::size_t kMostKept = 200000;
    if (m_keys.size() > kMostKept) {
        m_keys.clear();
    }
    auto found = m_keys.find(text);
    if (found == m_keys.end()) {
        found = m_keys.emplace(std::string(text), textKey(text)).first;
    }
    return found->second;
}

SortKey::SortKey(ColumnKind kind, std::string_view value, TextKeys* texts) {
    m_bNull = value.empty();
    if (m_bNull) {
        return;
    }
    if (kind != ColumnKind::Text) {
        if (const std::optional<double> n = number(kind, value)) {
            m_number = *n;
            return;
        }
    }
    m_text = texts ? texts->Of(value) : textKey(value);
}

int SortKey::Compare(const SortKey& other) const {
    if (m_bNull || other.m_bNull) {
        return int(m_bNull) - int(other.m_bNull);
    }
    // A number sorts before a text that should have been one.
    if (m_text.has_value() != other.m_text.has_value()) {
        return m_text.has_value() ? 1 : -1;
    }
    if (m_text) {
        return m_text->compare(*other.m_text);
    }
    return m_number < other.m_number ? -1 : m_number > other.m_number ? 1 : 0;
}
