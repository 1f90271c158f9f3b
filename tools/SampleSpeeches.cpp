#include "SampleSpeeches.h"

#include "SampleReplies.h"

namespace {

const SampleLanguage &languageAt(int languageIndex)
{
    const QList<SampleLanguage> &languages = SampleReplies::languages();
    return languages[languageIndex % languages.size()];
}

// A small, fixed mixing of the numbers, so that neighbouring speeches differ.
quint32 mix(int languageIndex, int index, int salt)
{
    quint32 x = quint32(index) * 2654435761u + quint32(languageIndex) * 40503u + quint32(salt) * 97u;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return x;
}

// Speech number index of a language is one of its replies; the first few are all of them
// once, so that even a small sample shows every kind.
const SampleReply &replyAt(int languageIndex, int index)
{
    const QList<SampleReply> &replies = languageAt(languageIndex).replies;
    const int count = int(replies.size());
    return replies[index < count ? index : int(mix(languageIndex, index, 2) % quint32(count))];
}

// How often the user has sent a speech, as one would note it down.
QString usageNote(quint32 uses)
{
    switch (uses) {
    case 0:
        return QStringLiteral("not used yet");
    case 1:
        return QStringLiteral("used once");
    case 2:
        return QStringLiteral("used twice");
    default:
        return QStringLiteral("used %1 times").arg(uses);
    }
}

} // namespace

QStringList SampleSpeeches::languageNames()
{
    QStringList names;
    for (const SampleLanguage &language : SampleReplies::languages())
        names.append(language.name);
    return names;
}

QString SampleSpeeches::keywords(int languageIndex, int index)
{
    // The number keeps the keywords of each speech apart, as a user's own tags would.
    return (replyAt(languageIndex, index).keywords + QLatin1Char(' ') + QString::number(index)).left(50);
}

QString SampleSpeeches::text(int languageIndex, int index)
{
    return replyAt(languageIndex, index).text;
}

QString SampleSpeeches::comments(int languageIndex, int index)
{
    if (mix(languageIndex, index, 3) % 4 != 0)
        return QString();
    return usageNote(mix(languageIndex, index, 4) % 40);
}
