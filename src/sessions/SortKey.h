#pragma once
// How one value of a session column sorts: numbers as numbers, dates in time order, texts by the
// locale with letter case ignored; an empty value (NULL) after every other, as Oracle sorts in
// ascending order. The window and the command-line tool sort by the same keys.

#include <QCollatorSortKey>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "SessionColumns.h"

// The collation keys of texts already seen: the same user, machine or program recurs across
// thousands of sessions, and a key costs far more to make than to look up.
class TextKeys {
public:
    // text in UTF-8.
    const QCollatorSortKey& Of(std::string_view text);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };
    std::unordered_map<std::string, QCollatorSortKey, Hash, std::equal_to<>> m_keys;
};

class SortKey {
public:
    // value in UTF-8; texts, when given, makes text keys once per distinct text.
    SortKey(ColumnKind kind, std::string_view value, TextKeys* texts = nullptr);

    // Less than 0 when this sorts first, 0 when both sort alike, greater than 0 after.
    int Compare(const SortKey& other) const;

private:
    bool m_bNull = false;
    double m_number = 0;
    std::optional<QCollatorSortKey> m_text;  // set for texts and for numbers that are none
};
