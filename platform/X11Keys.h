#pragma once

#include <QString>
#include <optional>

// A key as the X server names it: a keysym and the modifier mask held with it.
struct X11Key
{
    unsigned long keysym = 0;
    unsigned int modifiers = 0; // ShiftMask, ControlMask, Mod1Mask (Alt), Mod4Mask (Super)

    bool operator==(const X11Key &) const = default;
};

// The key a settings text such as "Ctrl+Alt+Space" names: modifiers (Ctrl, Alt, Shift, Super or
// Meta) joined by "+" to one key (a letter, a digit, a sign, F1 to F24 or a key name), without
// regard to case. Nothing for a text that names no key, and for a key no program may take from
// all others: a letter, digit, sign or Space without Ctrl, Alt or Super would be lost for typing.
std::optional<X11Key> parseX11Key(const QString &text);

// Whether a window of this class (WM_CLASS) is a terminal, where Ctrl+V is no paste.
bool isTerminalClass(const QString &windowClass);
