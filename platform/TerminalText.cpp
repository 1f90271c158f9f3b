#include "TerminalText.h"

#include <string_view>

namespace TerminalText {

namespace {

// A C0 or C1 control character or DEL, other than those kept.
bool isControl(char16_t u, std::u16string_view kept)
{
    return (u < 0x20 || (u >= 0x7F && u <= 0x9F)) && kept.find(u) == std::u16string_view::npos;
}

} // namespace

QString printable(const QString &text)
{
    QString shown = text;
    for (QChar &c : shown) {
        const char16_t u = c.unicode();
        const bool control = isControl(u, u"\t\n");
        const bool reordering = (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
        if (control || reordering)
            c = QChar(QChar::ReplacementCharacter);
    }
    return shown;
}

QString pasteable(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (!isControl(c.unicode(), u"\t\n\r"))
            kept += c;
    }
    return kept;
}

bool runsCommands(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

} // namespace TerminalText
