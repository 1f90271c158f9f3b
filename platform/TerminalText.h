#pragma once

#include <QString>

// Text from outside (a server's notices and errors, names read from a file) as it may reach
// a terminal or the journal: every control character that could move the cursor, recolour
// the screen or reorder what is shown (C0 but tab and line feed, DEL, C1, the bidirectional
// overrides and isolates) becomes U+FFFD, so that the text reads as what it holds.
namespace TerminalText {

QString printable(const QString &text);

} // namespace TerminalText
