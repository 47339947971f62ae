#pragma once
// How one value of a session column sorts: numbers as numbers, dates in time order, texts by the
// locale with letter case ignored; an empty value (NULL) after every other, as Oracle sorts in
// ascending order. The window and the command-line tool sort by the same keys.

#include <QCollatorSortKey>
#include <QStringView>
#include <optional>

#include "SessionColumns.h"

class SortKey {
public:
    SortKey(ColumnKind kind, QStringView value);

    // Less than 0 when this sorts first, 0 when both sort alike, greater than 0 after.
    int Compare(const SortKey& other) const;

private:
    bool m_bNull = false;
    double m_number = 0;
    std::optional<QCollatorSortKey> m_text;  // set for texts and for numbers that are none
};
