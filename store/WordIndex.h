#pragma once

#include <QStringList>
#include <QtGlobal>
#include <optional>
#include <vector>

// A library's index of the folded words of its speeches (see SpeechWords), one per engine.
// Every change is taken into it in the transaction that makes it, by this program or, through
// notes its triggers keep, by another program. A library made without it gets it built in
// batches (buildBatch); until it is complete the index does not answer.
class WordIndex
{
public:
    // Which columns a typed word may match in: the ranks of a hit, best first.
    enum class Columns { Keywords, KeywordsOrText, Any };

    // How far the building of the index has come.
    struct BuildState
    {
        qint64 indexed = 0; // speeches in the index
        qint64 total = 0;   // speeches in the library
        bool complete = false;
    };

    virtual ~WordIndex() = default;

    // Whether the index answers for every speech now; changes others made are taken in first
    // (a write), and false when that cannot be done or the index is not complete.
    virtual bool ready() = 0;

    // The IDs of at most limit speeches (of a language, or of all) that hold a word starting with
    // each folded word in the columns, in the index's order.
    virtual std::vector<qint64> find(const QStringList &words, Columns columns, std::optional<qint64> languageId,
                                     int limit) = 0;

    // Whether the library has the index but it is not complete yet: it wants buildBatch.
    virtual bool incomplete() = 0;

    // Takes up to batchSize more speeches into an index being built, in a transaction of its own.
    virtual BuildState buildBatch(int batchSize) = 0;
};
