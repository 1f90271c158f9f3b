#pragma once

#include <QString>

class QPlainTextEdit;
class QTextDocument;

// Shows a text whose lines may be very long. Laying out one line costs more than its length
// grows (a line of a million characters took half a minute), so a long line is shown in
// blocks of at most MaxBlockLength characters, broken after a space where one is near. A
// block that only continues the line before it is marked, and the text read back joins it
// to that line again: what is stored is exactly what was shown and typed.
namespace LongLineText {

constexpr int MaxBlockLength = 4096;
constexpr int ContinuationState = 0x4c4c; // the user state of a block that continues a line

// Shows text in the editor; true when some line had to be broken into blocks.
bool show(QPlainTextEdit *editor, const QString &text);
// The text between two positions of the document, the marked breaks left out.
QString text(const QTextDocument *document, int from, int to);
// The whole text, the marked breaks left out.
QString text(const QTextDocument *document);

} // namespace LongLineText
