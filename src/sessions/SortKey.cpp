#include "SortKey.h"

#include <QCollator>

namespace {
const QCollator& textOrder() {
    static const QCollator collator = [] {
        QCollator c;
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

// "2024-03-05 14:07:09" as 20240305140709: its digits in order are its place in time.
std::optional<double> dateNumber(QStringView value) {
    double number = 0;
    for (QChar c : value) {
        if (c.isDigit()) {
            number = number * 10 + c.digitValue();
        } else if (c != u'-' && c != u' ' && c != u':') {
            return std::nullopt;
        }
    }
    return number;
}

std::optional<double> number(ColumnKind kind, QStringView value) {
    if (kind == ColumnKind::Date) {
        return dateNumber(value);
    }
    bool ok = false;
    const double n = value.toDouble(&ok);
    return ok ? std::optional<double>(n) : std::nullopt;
}
}  // namespace

SortKey::SortKey(ColumnKind kind, QStringView value) {
    m_bNull = value.isEmpty();
    if (m_bNull) {
        return;
    }
    if (kind != ColumnKind::Text) {
        if (const std::optional<double> n = number(kind, value)) {
            m_number = *n;
            return;
        }
    }
    // Folded first: the collator's own case folding does not reach its sort keys in every
    // locale (in "C" they are the bytes).
    m_text = textOrder().sortKey(value.toString().toCaseFolded());
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
