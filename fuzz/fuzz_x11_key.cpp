// Fuzz target of the picker's key text: every input is taken as the text of GlobalKey=.
// Besides crashes and sanitizer findings it checks what the reader promises: an accepted key
// holds only the four modifiers, a key that types holds Ctrl, Alt or Super, and the same text
// with spaces around, and an ASCII text in other case, reads the same.

#include "X11Keys.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "key text reader: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<X11Key> key = parseX11Key(text);
    if (parseX11Key(QStringLiteral(" ") + text + QStringLiteral(" ")) != key)
        fail("spaces around change the key");
    // Other scripts have letters whose case pairs cross into ASCII (dotless i): ASCII only.
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }) && parseX11Key(text.toUpper()) != key)
        fail("case changes the key");
    if (!key)
        return 0;
    constexpr unsigned int shift = 1, control = 4, alt = 8, super = 64;
    if (key->modifiers & ~(shift | control | alt | super))
        fail("a modifier beyond the four");
    const bool types = key->keysym >= 0x20 && key->keysym < 0x7f;
    if (types && !(key->modifiers & (control | alt | super)))
        fail("a typing key without Ctrl, Alt or Super");
    return 0;
}
