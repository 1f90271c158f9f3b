#pragma once

#include <QString>
#include <QStringList>

// The words of a speech's keywords, text or comments as the word index holds them, and of
// what the user types to find them: in Unicode's full case folding (so "Grüße", "GRÜSSE" and
// "grusse" are one word), with accents taken off, split at every character that is no letter,
// digit or mark.
namespace SpeechWords {

// At most this many typed words count; the rest of a long paste is left out.
inline constexpr int MaxTypedWords = 16;

// A word counts by its first this many characters (a server keeps no longer word); a longer
// word typed finds the words that begin as it does.
inline constexpr int MaxWordLength = 200;

// The folded words of a text, in order, each at most MaxWordLength characters.
QStringList words(const QString &text);

// The distinct folded words of what the user typed, at most MaxTypedWords of them.
QStringList typedWords(const QString &typed);

// Whether the folded words hold, for every typed word, one that starts with it.
bool holdsAll(const QStringList &foldedWords, const QStringList &typed);

// Names the folding and the Unicode tables it follows: an index of words folded under another
// name is built again.
QString foldingVersion();

} // namespace SpeechWords
