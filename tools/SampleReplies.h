#pragma once

#include <QList>
#include <QString>

// One canned reply of the samples: its keywords and its text, in its own language.
struct SampleReply
{
    QString keywords;
    QString text;
};

// The sample languages and their replies: a name as the language calls itself, and the
// same everyday replies (a message received, an order received, an invoice, away from the
// office, a meeting to confirm) written in that language.
struct SampleLanguage
{
    QString name;
    QList<SampleReply> replies;
};

namespace SampleReplies {

// Twenty languages, each with the same number of replies.
const QList<SampleLanguage> &languages();

} // namespace SampleReplies
