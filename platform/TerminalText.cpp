#include "TerminalText.h"

namespace TerminalText {

QString printable(const QString &text)
{
    QString shown = text;
    for (QChar &c : shown) {
        const char16_t u = c.unicode();
        const bool control = (u < 0x20 && u != u'\t' && u != u'\n') || (u >= 0x7F && u <= 0x9F);
        const bool reordering = (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
        if (control || reordering)
            c = QChar(QChar::ReplacementCharacter);
    }
    return shown;
}

} // namespace TerminalText
