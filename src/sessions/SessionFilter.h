#pragma once
// The list's filter as the user types it: terms separated by blanks, all of which a session must
// match. A term is a text that any shown column contains, letter case ignored; "column:text"
// looks in that column only, where a word of it begins with the text ("status:active" is not
// "INACTIVE", "machine:worker" finds "k8s-worker-1", "program:\"sql developer\""); "-term"
// keeps the sessions that do not match it. A column name no column has makes the term plain
// text.

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "SessionColumns.h"

class SessionFilter {
public:
    SessionFilter() = default;
    explicit SessionFilter(const QString& text);

    bool IsEmpty() const { return m_terms.empty(); }
    // cell gives a column's text as shown; shown are the columns a plain term looks in.
    bool Matches(const std::function<QString(SessionColumnId)>& cell,
                 const std::vector<SessionColumnId>& shown) const;

private:
    struct Term {
        std::optional<SessionColumnId> column;
        QString text;
        bool excluded = false;
    };
    static std::vector<QString> Words(const QString& text);
    static Term ParseTerm(QString word);

    std::vector<Term> m_terms;
};
