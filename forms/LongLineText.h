#pragma once

#include <QString>

class QPlainTextEdit;
class QTextBlock;
class QTextCursor;
class QTextDocument;

// Keeps a text in a document character for character. A document knows only one kind of
// line break, so each break remembers the line end it stands for (CR LF, LF, lone CR, or a
// paragraph separator) in the character format of the break itself: undo and redo restore
// it with the break, and no edit can give it to another break. A break without that mark
// takes the text's own line-end style, which is what a line the user adds gets.
//
// Laying out one line costs more than its length grows (a line of a million characters
// took seconds even without word wrap), so a long line is shown in blocks of at most
// MaxBlockLength characters, broken after a space where one is near. Such a break is
// marked as standing for no character at all: the text read back never holds it.
namespace LongLineText {

constexpr int MaxBlockLength = 4096;

// Shows text in the editor; true when some line had to be broken into blocks.
bool show(QPlainTextEdit *editor, const QString &text);
// The text between two positions of the document, each break as the line end it stands for.
QString text(const QTextDocument *document, int from, int to);
// The whole text.
QString text(const QTextDocument *document);
// Puts text in at the cursor (in place of its selection) with its own line ends kept.
void insert(QTextCursor &cursor, const QString &text);
// Starts a new line at the cursor that takes the text's own line-end style.
void insertLineEnd(QTextCursor &cursor);
// The block only continues the line before it: the break before it stands for nothing.
bool continuesLine(const QTextBlock &block);

} // namespace LongLineText
