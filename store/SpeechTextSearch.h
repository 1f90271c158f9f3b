#pragma once

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

class Connection;

// A speech found by the words of its keywords, text or comments.
struct SpeechMatch
{
    qint64 speechId = 0;
    qint64 languageId = 0;
    QString keywords;
    QString text;
    QString comments;
};

// Finding speeches by the words typed into the picker, through the library's word index, and
// counting the copies that rank them.
namespace SpeechTextSearch {

// The best speeches (at most limit) whose keywords, text or comments hold every typed word, or
// a word starting with it, in any order, without regard to case and accents; of one language,
// or of all when languageId is empty. Ranked by where the words match (keywords first), then by
// how often and how lately the speech was copied. The typed text is taken as plain words only.
// With nothing typed (or only white space): the speeches copied most, then most lately.
std::vector<SpeechMatch> find(Connection &connection, const QString &typed,
                              std::optional<qint64> languageId, int limit = 50);

// Counts one copy of a speech to the clipboard (F4 or the picker) and when it was made.
void noteCopied(Connection &connection, qint64 speechId);

} // namespace SpeechTextSearch
