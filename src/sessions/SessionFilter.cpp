#include "SessionFilter.h"

SessionFilter::SessionFilter(const QString& text) {
    for (const QString& word : Words(text)) {
        Term term = ParseTerm(word);
        if (!term.text.isEmpty() || term.column) {
            m_terms.push_back(std::move(term));
        }
    }
}

// Blanks separate words, except inside double quotes, which are not part of the word.
std::vector<QString> SessionFilter::Words(const QString& text) {
    std::vector<QString> words;
    QString word;
    bool quoted = false;
    bool started = false;
    for (const QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
            started = true;
        } else if (c.isSpace() && !quoted) {
            if (started) {
                words.push_back(word);
            }
            word.clear();
            started = false;
        } else {
            word += c;
            started = true;
        }
    }
    if (started) {
        words.push_back(word);
    }
    return words;
}

SessionFilter::Term SessionFilter::ParseTerm(QString word) {
    Term term;
    if (word.size() > 1 && word.startsWith(u'-')) {
        term.excluded = true;
        word.remove(0, 1);
    }
    const qsizetype colon = word.indexOf(u':');
    if (colon > 0) {
        if (const SessionColumn* column = FindColumn(word.left(colon).toStdString())) {
            term.column = column->id;
            word.remove(0, colon + 1);
        }
    }
    term.text = word;
    return term;
}

namespace {
// Whether a word of value (a run of letters and digits) begins with text, letter case ignored.
bool wordBeginsWith(const QString& value, const QString& text) {
    for (qsizetype from = 0;;) {
        const qsizetype at = value.indexOf(text, from, Qt::CaseInsensitive);
        if (at < 0) {
            return false;
        }
        if (at == 0 || !value[at - 1].isLetterOrNumber()) {
            return true;
        }
        from = at + 1;
    }
}
}  // namespace

bool SessionFilter::Matches(const std::function<QString(SessionColumnId)>& cell,
                            const std::vector<SessionColumnId>& shown) const {
    for (const Term& term : m_terms) {
        bool found = false;
        if (term.column) {
            found = wordBeginsWith(cell(*term.column), term.text);
        } else {
            for (SessionColumnId id : shown) {
                if (cell(id).contains(term.text, Qt::CaseInsensitive)) {
                    found = true;
                    break;
                }
            }
        }
        if (found == term.excluded) {
            return false;
        }
    }
    return true;
}
