#pragma once

#include <QString>

class Connection;

// Puts a speech's text on the clipboard exactly as it is stored, and counts the copy for the
// picker's ranking. A speech not yet stored (speechId 0), or a library that cannot be written,
// is copied without being counted.
void copySpeechToClipboard(Connection &connection, qint64 speechId, const QString &text);
