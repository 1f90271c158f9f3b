#pragma once

#include <QString>

// Text from outside (a server's notices and errors, names read from a file) as it may reach
// a terminal or the journal: every control character that could move the cursor, recolour
// the screen or reorder what is shown (C0 but tab and line feed, DEL, C1, the bidirectional
// overrides and isolates) becomes U+FFFD, so that the text reads as what it holds.
namespace TerminalText {

QString printable(const QString &text);

// A speech as it may be pasted into a terminal: every control character but tab, line feed and
// carriage return taken out (an escape can end a bracketed paste, ESC [201~, and let the rest
// run as typed), everything else as it is. Its line ends still run what precedes them.
QString pasteable(const QString &text);

// Whether a terminal would run some of the text on its own when it is pasted: it holds a line end.
bool runsCommands(const QString &text);

} // namespace TerminalText
