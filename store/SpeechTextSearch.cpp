#include "SpeechTextSearch.h"

#include "Connection.h"
#include "LikePattern.h"
#include "Statement.h"

#include <QStringList>

// A plain scan through the speeches, in their stored order, until the word index answers.

namespace {

// Case folded, marks taken away, split at everything that is not a letter or a digit.
QStringList foldedWords(const QString &text)
{
    const QString folded = QString::fromStdString(LikePattern::foldedUtf8(text.toStdString()))
                               .normalized(QString::NormalizationForm_KD);
    QString kept;
    kept.reserve(folded.size());
    for (const QChar c : folded) {
        if (c.isMark())
            continue;
        kept += c.isLetterOrNumber() ? c : QChar(u' ');
    }
    return kept.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool holdsEveryWord(const QStringList &speechWords, const QStringList &typedWords)
{
    return std::all_of(typedWords.begin(), typedWords.end(), [&speechWords](const QString &typed) {
        return std::any_of(speechWords.begin(), speechWords.end(),
                           [&typed](const QString &word) { return word.startsWith(typed); });
    });
}

} // namespace

namespace SpeechTextSearch {

std::vector<SpeechMatch> find(Connection &connection, const QString &typed, std::optional<qint64> languageId, int limit)
{
    const QStringList typedWords = foldedWords(typed);
    QString sql = QStringLiteral("SELECT \"ID\", \"TaalID\", \"Keywords\", \"Tekst\", \"Comments\" FROM \"Speeches\"");
    if (languageId)
        sql += QStringLiteral(" WHERE \"TaalID\" = ?");
    Statement statement(connection.handle(), sql + QStringLiteral(" ORDER BY \"ID\""));
    if (languageId)
        statement.bind(1, *languageId);
    std::vector<SpeechMatch> matches;
    while (int(matches.size()) < limit && statement.step()) {
        SpeechMatch match{statement.columnInt64(0), statement.columnInt64(1), statement.columnValue(2).toString(),
                          statement.columnValue(3).toString(), statement.columnValue(4).toString()};
        const QStringList words = foldedWords(match.keywords + u' ' + match.text + u' ' + match.comments);
        if (holdsEveryWord(words, typedWords))
            matches.push_back(std::move(match));
    }
    return matches;
}

// Copies are not counted until the word index, which ranks by them, has a table for them.
void noteCopied(Connection &, qint64)
{
}

} // namespace SpeechTextSearch
