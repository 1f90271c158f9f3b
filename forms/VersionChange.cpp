#include "VersionChange.h"

#include <algorithm>

namespace {

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c.isSurrogate();
}

// The line (from 1) that position lies on; CR LF, LF and CR each end a line.
int lineAt(const QString &text, qsizetype position)
{
    int line = 1;
    for (qsizetype i = 0; i < position; ++i) {
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')))
            ++line;
    }
    return line;
}

// A piece of text on one line: its words quoted (the start of a long piece), or what kind of
// white space it is.
QString described(const QString &piece)
{
    const QString words = piece.simplified();
    if (words.isEmpty())
        return piece.contains(u'\n') || piece.contains(u'\r') ? QStringLiteral("a line break") : QStringLiteral("spaces");
    if (words.size() <= VersionChange::MaxQuoted)
        return u'"' + words + u'"';
    qsizetype cut = VersionChange::MaxQuoted - 1;
    if (words[cut - 1].isHighSurrogate())
        --cut;
    return u'"' + words.left(cut) + QStringLiteral("…\"");
}

} // namespace

namespace VersionChange {

QString summary(const QString &before, const QString &after)
{
    if (before == after)
        return QStringLiteral("text unchanged");
    // What both share at the start and at the end, in whole words: a changed word is shown whole.
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head])
        ++head;
    while (head > 0 && isWordCharacter(before[head - 1])
           && ((head < before.size() && isWordCharacter(before[head])) || (head < after.size() && isWordCharacter(after[head]))))
        --head;
    qsizetype tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    while (tail > 0 && isWordCharacter(before[before.size() - tail])
           && ((before.size() - tail > head && isWordCharacter(before[before.size() - tail - 1]))
               || (after.size() - tail > head && isWordCharacter(after[after.size() - tail - 1]))))
        --tail;
    const QString removed = before.mid(head, before.size() - head - tail);
    const QString added = after.mid(head, after.size() - head - tail);

    // Where the change shows: at its first word, past the line ends it begins with; in the
    // older text when the newer one only lost words.
    const bool wordsAdded = !added.trimmed().isEmpty();
    const QString &changed = wordsAdded ? added : removed;
    qsizetype start = 0;
    while (start < changed.size() && changed[start].isSpace() && !changed.trimmed().isEmpty())
        ++start;
    const QString where = QStringLiteral("line %1: ").arg(lineAt(wordsAdded ? after : before, head + start));
    if (removed.isEmpty())
        return where + QStringLiteral("added ") + described(added);
    if (added.isEmpty())
        return where + QStringLiteral("removed ") + described(removed);
    return where + described(removed) + QStringLiteral(" became ") + described(added);
}

} // namespace VersionChange
