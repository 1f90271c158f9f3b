#include "LongLineText.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <vector>

namespace LongLineText {

namespace {

// The character format property of a break that stands for another line end than the
// text's own style; an empty value marks a break that only the display has.
constexpr int LineEndProperty = QTextFormat::UserProperty + 0x4c4c;
// The document property that holds the text's own line-end style.
constexpr char LineEndStyle[] = "tinlarkLineEnd";

// The characters a document turns into a break of its own (QTextCursor::insertText).
bool isBreakCharacter(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator
           || c == QChar(0xFDD0) || c == QChar(0xFDD1);
}

// The length of the line end that starts at `at`, 0 when there is none.
qsizetype lineEndLength(QStringView text, qsizetype at)
{
    if (at >= text.size() || !isBreakCharacter(text[at]))
        return 0;
    return text[at] == QLatin1Char('\r') && at + 1 < text.size() && text[at + 1] == QLatin1Char('\n') ? 2 : 1;
}

QString styleOf(const QTextDocument *document)
{
    const QVariant style = document->property(LineEndStyle);
    return style.isValid() ? style.toString() : QStringLiteral("\n");
}

// The first line end of a text is its style; LF when it has none.
QString styleOfText(const QString &text)
{
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (const qsizetype length = lineEndLength(text, at))
            return text.mid(at, length);
    }
    return QStringLiteral("\n");
}

// What the break just before a block stands for.
QString lineEndBefore(const QTextBlock &block, const QString &style)
{
    const QVariant lineEnd = block.charFormat().property(LineEndProperty);
    return lineEnd.isValid() ? lineEnd.toString() : style;
}

QTextCharFormat breakFormat(const QString &lineEnd, const QString &style)
{
    QTextCharFormat format;
    if (lineEnd != style)
        format.setProperty(LineEndProperty, lineEnd);
    return format;
}

// Where a piece of a long line starting at start ends: after the last space in the second
// half of the piece, or at its full length, never inside a surrogate pair.
qsizetype pieceEnd(QStringView text, qsizetype start)
{
    const qsizetype limit = start + MaxBlockLength;
    for (qsizetype at = limit; at > start + MaxBlockLength / 2; --at) {
        if (text[at - 1] == QLatin1Char(' '))
            return at;
    }
    return text[limit - 1].isHighSurrogate() ? limit - 1 : limit;
}

// A break of the shown text and the line end it stands for.
struct Break
{
    int position;
    QString lineEnd;
};

} // namespace

bool show(QPlainTextEdit *editor, const QString &text)
{
    const QString style = styleOfText(text);
    // The shown text has one break character for every line end and for every place
    // where the display breaks a long line; the breaks that differ from the style are kept.
    QString shown;
    shown.reserve(text.size() + text.size() / MaxBlockLength + 1);
    std::vector<Break> marked;
    bool longLines = false;
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < text.size() && !isBreakCharacter(text[lineEnd]))
            ++lineEnd;
        const QStringView line = QStringView(text).mid(lineStart, lineEnd - lineStart);
        qsizetype from = 0;
        while (line.size() - from > MaxBlockLength) {
            const qsizetype to = pieceEnd(line, from);
            shown.append(line.mid(from, to - from));
            marked.push_back({int(shown.size()), QString()});
            shown.append(QChar::ParagraphSeparator);
            from = to;
            longLines = true;
        }
        shown.append(line.mid(from));
        const qsizetype length = lineEndLength(text, lineEnd);
        if (length == 0)
            break;
        const QString ending = text.mid(lineEnd, length);
        if (ending != style)
            marked.push_back({int(shown.size()), ending});
        shown.append(QChar::ParagraphSeparator);
        lineStart = lineEnd + length;
    }

    QTextDocument *document = editor->document();
    document->setProperty(LineEndStyle, style);
    editor->setPlainText(shown);
    // The text takes the format the document had at its start, which may be a mark: the
    // breaks start unmarked, and those that differ from the style are marked. This is part
    // of showing the text, not an edit the user can undo; one edit block, so that the
    // layout follows once rather than at every mark.
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    if (cursor.charFormat().hasProperty(LineEndProperty)
        || document->begin().charFormat().hasProperty(LineEndProperty)) {
        cursor.select(QTextCursor::Document);
        cursor.setCharFormat(QTextCharFormat());
    }
    for (const Break &mark : marked) {
        cursor.setPosition(mark.position);
        cursor.setPosition(mark.position + 1, QTextCursor::KeepAnchor);
        cursor.setCharFormat(breakFormat(mark.lineEnd, style));
    }
    cursor.endEditBlock();
    document->setUndoRedoEnabled(undo);
    return longLines;
}

QString text(const QTextDocument *document, int from, int to)
{
    const QString style = styleOf(document);
    to = std::min(to, document->characterCount() - 1);
    QString result;
    result.reserve(std::max(0, to - from));
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int start = block.position();
        if (start > from)
            result.append(lineEndBefore(block, style));
        const int begin = std::max(from, start) - start;
        const int end = std::min(to, start + block.length() - 1) - start;
        if (end > begin)
            result.append(QStringView(block.text()).mid(begin, end - begin));
    }
    return result;
}

QString text(const QTextDocument *document)
{
    return text(document, 0, document->characterCount());
}

void insert(QTextCursor &cursor, const QString &text)
{
    const QString style = styleOf(cursor.document());
    const QTextCharFormat textFormat;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    qsizetype from = 0;
    for (qsizetype at = 0; at <= text.size(); ++at) {
        const qsizetype length = lineEndLength(text, at);
        if (length == 0 && at < text.size())
            continue;
        if (at > from)
            cursor.insertText(text.mid(from, at - from), textFormat);
        if (length > 0) {
            cursor.insertBlock(cursor.blockFormat(), breakFormat(text.mid(at, length), style));
            at += length - 1;
        }
        from = at + 1;
    }
    cursor.endEditBlock();
}

void insertLineEnd(QTextCursor &cursor)
{
    cursor.insertBlock(cursor.blockFormat(), QTextCharFormat());
}

bool continuesLine(const QTextBlock &block)
{
    if (!block.isValid() || block.position() == 0)
        return false;
    const QVariant lineEnd = block.charFormat().property(LineEndProperty);
    return lineEnd.isValid() && lineEnd.toString().isEmpty();
}

} // namespace LongLineText
