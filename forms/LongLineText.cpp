#include "LongLineText.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <vector>

namespace LongLineText {

namespace {

// Where a piece of a long line starting at start ends: after the last space in the second
// half of the piece, or at its full length, never inside a surrogate pair.
qsizetype pieceEnd(const QString &text, qsizetype start)
{
    const qsizetype limit = start + MaxBlockLength;
    for (qsizetype at = limit; at > start + MaxBlockLength / 2; --at) {
        if (text[at - 1] == QLatin1Char(' '))
            return at;
    }
    return text[limit - 1].isHighSurrogate() ? limit - 1 : limit;
}

} // namespace

bool show(QPlainTextEdit *editor, const QString &text)
{
    // Where the breaks go that only the display has (as positions in text).
    std::vector<qsizetype> breaks;
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        for (qsizetype start = lineStart; lineEnd - start > MaxBlockLength;) {
            start = pieceEnd(text, start);
            breaks.push_back(start);
        }
        lineStart = lineEnd + 1;
    }
    if (breaks.empty()) {
        editor->setPlainText(text);
        return false;
    }
    QString shown;
    shown.reserve(text.size() + qsizetype(breaks.size()));
    qsizetype from = 0;
    for (const qsizetype at : breaks) {
        shown.append(QStringView(text).mid(from, at - from));
        shown.append(QLatin1Char('\n'));
        from = at;
    }
    shown.append(QStringView(text).mid(from));
    editor->setPlainText(shown);

    // Each break made a block of its own: mark it as continuing the line before.
    QTextDocument *document = editor->document();
    for (size_t i = 0; i < breaks.size(); ++i) {
        const int position = int(breaks[i] + qsizetype(i) + 1);
        document->findBlock(position).setUserState(ContinuationState);
    }
    return true;
}

QString text(const QTextDocument *document, int from, int to)
{
    const QString plain = document->toPlainText();
    to = std::min(to, int(plain.size()));
    QString joined;
    joined.reserve(to - from);
    int copied = from;
    for (QTextBlock block = document->findBlock(from).next(); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int separator = block.position() - 1;
        if (block.userState() != ContinuationState || separator < from || separator >= to)
            continue;
        joined.append(QStringView(plain).mid(copied, separator - copied));
        copied = separator + 1;
    }
    joined.append(QStringView(plain).mid(copied, to - copied));
    return joined;
}

QString text(const QTextDocument *document)
{
    return text(document, 0, document->characterCount());
}

} // namespace LongLineText
