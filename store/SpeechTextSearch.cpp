#include "SpeechTextSearch.h"

#include "Connection.h"
#include "Database.h"
#include "EDatabaseError.h"
#include "SpeechWords.h"
#include "Statement.h"
#include "TransactionGuard.h"
#include "WordIndex.h"

#include <QHash>
#include <QSet>
#include <set>
#include <tuple>

namespace {

// The most copied speeches that rank before the others of their kind of hit.
constexpr int CopiedConsidered = 200;

constexpr WordIndex::Columns Ranks[] = {WordIndex::Columns::Keywords, WordIndex::Columns::KeywordsOrText,
                                        WordIndex::Columns::Any};

// The most copied speeches (of a language), the most copies first, then the latest copy.
std::vector<qint64> mostCopied(Database *db, std::optional<qint64> languageId)
{
    std::vector<qint64> ids;
    try {
        // The copies lead, each speech looked up by its ID: they are few, a language's speeches
        // may be a million (a join lets SQLite read them all first, into a Bloom filter).
        Statement copied(db, QStringLiteral("SELECT c.\"SpeechID\" FROM \"SpeechCopies\" c WHERE %1 "
                                            "ORDER BY c.\"Copies\" DESC, c.\"LastCopied\" DESC, c.\"SpeechID\" LIMIT %2")
                                 .arg(languageId ? QStringLiteral("(SELECT s.\"TaalID\" FROM \"Speeches\" s "
                                                                  "WHERE s.\"ID\" = c.\"SpeechID\") = ?")
                                                 : QStringLiteral("EXISTS (SELECT 1 FROM \"Speeches\" s "
                                                                  "WHERE s.\"ID\" = c.\"SpeechID\")"))
                                 .arg(CopiedConsidered));
        if (languageId)
            copied.bind(1, *languageId);
        while (copied.step())
            ids.push_back(copied.columnInt64(0));
    } catch (const EDatabaseError &) {
        // A library that counts no copies yet: no speech is ranked up.
    }
    return ids;
}

constexpr int NoRank = 3;

// Where the words are in a speech whose keywords, text and comments are the row's columns from
// first on: in the keywords, with the text's, with the comments' too, or NoRank.
int rankOf(const Statement &row, int first, const QStringList &words)
{
    QStringList held;
    for (int rank = 0; rank < NoRank; ++rank) {
        held += SpeechWords::words(row.columnValue(first + rank).toString());
        if (SpeechWords::holdsAll(held, words))
            return rank;
    }
    return NoRank;
}

// Through the index: for each rank in turn, the copied speeches that hit there, then the others
// in the index's order, until there are enough. The copied ones are few and read one by one:
// asking the index about each would cost more.
std::vector<qint64> rankThroughIndex(Database *db, WordIndex &index, const QStringList &words,
                                     std::optional<qint64> languageId, int limit, const std::vector<qint64> &copied)
{
    const QSet<qint64> wasCopied(copied.begin(), copied.end());
    // All in one statement: on a server each statement is a round trip.
    QHash<qint64, int> rankOfCopied;
    if (!copied.empty()) {
        Statement speeches(db, QStringLiteral("SELECT \"ID\", \"Keywords\", \"Tekst\", \"Comments\" FROM \"Speeches\" "
                                              "WHERE \"ID\" IN (%1)")
                                   .arg(QStringList(qsizetype(copied.size()), QStringLiteral("?")).join(QLatin1Char(','))));
        for (size_t place = 0; place < copied.size(); ++place)
            speeches.bind(int(place) + 1, copied[place]);
        while (speeches.step())
            rankOfCopied.insert(speeches.columnInt64(0), rankOf(speeches, 1, words));
    }
    std::vector<int> copiedRanks;
    for (const qint64 id : copied)
        copiedRanks.push_back(rankOfCopied.value(id, NoRank));
    std::vector<qint64> ranked;
    QSet<qint64> taken;
    const auto take = [&](qint64 id) {
        ranked.push_back(id);
        taken.insert(id);
        return int(ranked.size()) == limit;
    };
    for (int rank = 0; rank < NoRank; ++rank) {
        for (size_t place = 0; place < copied.size(); ++place) {
            if (copiedRanks[place] == rank && take(copied[place]))
                return ranked;
        }
        // Those taken and the copied ones may come first in the index's order: skip them.
        const int wanted = limit - int(ranked.size()) + int(taken.size()) + int(copied.size());
        for (const qint64 id : index.find(words, Ranks[rank], languageId, wanted)) {
            if (!taken.contains(id) && !wasCopied.contains(id) && take(id))
                return ranked;
        }
    }
    return ranked;
}

// Without the index (not built yet): every speech of the language is read and folded, and the
// best are kept in the same order as through the index.
std::vector<qint64> rankByReading(Database *db, const QStringList &words, std::optional<qint64> languageId, int limit,
                                  const std::vector<qint64> &copied)
{
    // Rank, place among the copied ones, language, ID.
    using Place = std::tuple<int, size_t, qint64, qint64>;
    std::set<Place> best;
    Statement speeches(db, QStringLiteral("SELECT \"ID\", \"TaalID\", \"Keywords\", \"Tekst\", \"Comments\" FROM \"Speeches\" %1")
                               .arg(languageId ? QStringLiteral("WHERE \"TaalID\" = ?") : QString()));
    if (languageId)
        speeches.bind(1, *languageId);
    while (speeches.step()) {
        const int rank = rankOf(speeches, 2, words);
        if (rank == NoRank)
            continue;
        const qint64 id = speeches.columnInt64(0);
        const size_t place = size_t(std::find(copied.begin(), copied.end(), id) - copied.begin());
        best.insert({rank, place, speeches.columnInt64(1), id});
        if (int(best.size()) > limit)
            best.erase(std::prev(best.end()));
    }
    std::vector<qint64> ranked;
    for (const Place &place : best)
        ranked.push_back(std::get<3>(place));
    return ranked;
}

} // namespace

namespace SpeechTextSearch {

std::vector<SpeechMatch> find(Connection &connection, const QString &typed, std::optional<qint64> languageId, int limit)
{
    const QStringList words = SpeechWords::typedWords(typed);
    const bool nothingTyped = typed.trimmed().isEmpty();
    if ((words.isEmpty() && !nothingTyped) || limit <= 0)
        return {};
    Database *db = connection.handle();
    const std::vector<qint64> copied = mostCopied(db, languageId);
    std::vector<qint64> ids;
    if (nothingTyped) {
        ids.assign(copied.begin(), copied.begin() + std::min<std::ptrdiff_t>(std::ssize(copied), limit));
    } else {
        WordIndex *index = db->wordIndex();
        ids = index && index->ready() ? rankThroughIndex(db, *index, words, languageId, limit, copied)
                                      : rankByReading(db, words, languageId, limit, copied);
    }
    std::vector<SpeechMatch> matches;
    Statement speech(db, QStringLiteral("SELECT \"TaalID\", \"Keywords\", \"Tekst\", \"Comments\" FROM \"Speeches\" "
                                        "WHERE \"ID\" = ?"));
    for (const qint64 id : ids) {
        speech.bind(1, id);
        if (speech.step())
            matches.push_back({id, speech.columnInt64(0), speech.columnValue(1).toString(),
                               speech.columnValue(2).toString(), speech.columnValue(3).toString()});
        speech.reset();
    }
    return matches;
}

void noteCopied(Connection &connection, qint64 speechId)
{
    Database *db = connection.handle();
    // A library that cannot be written still copies; it only counts nothing.
    if (!db->readOnlyReason().isEmpty())
        return;
    TransactionGuard transaction(db);
    Statement(db, db->noteCopyCommand()).execute({speechId});
    transaction.commit();
}

} // namespace SpeechTextSearch
