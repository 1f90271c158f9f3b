#include "X11Keys.h"

#include <QStringList>
#include <X11/X.h>
#include <X11/keysym.h>
#include <array>
#include <utility>

namespace {

struct NamedKeysym
{
    const char *name;
    unsigned long keysym;
};

// Keys named by a word; F1 to F24 are counted, single signs taken as they are.
constexpr std::array NamedKeys = {
    NamedKeysym{"space", XK_space},        NamedKeysym{"tab", XK_Tab},         NamedKeysym{"return", XK_Return},
    NamedKeysym{"enter", XK_Return},       NamedKeysym{"esc", XK_Escape},      NamedKeysym{"escape", XK_Escape},
    NamedKeysym{"backspace", XK_BackSpace}, NamedKeysym{"ins", XK_Insert},     NamedKeysym{"insert", XK_Insert},
    NamedKeysym{"del", XK_Delete},         NamedKeysym{"delete", XK_Delete},   NamedKeysym{"home", XK_Home},
    NamedKeysym{"end", XK_End},            NamedKeysym{"pgup", XK_Prior},      NamedKeysym{"pageup", XK_Prior},
    NamedKeysym{"pgdown", XK_Next},        NamedKeysym{"pagedown", XK_Next},   NamedKeysym{"up", XK_Up},
    NamedKeysym{"down", XK_Down},          NamedKeysym{"left", XK_Left},       NamedKeysym{"right", XK_Right},
    NamedKeysym{"pause", XK_Pause},        NamedKeysym{"print", XK_Print},
};

std::optional<unsigned int> modifierMask(const QString &name)
{
    if (name == QLatin1String("ctrl") || name == QLatin1String("control"))
        return ControlMask;
    if (name == QLatin1String("alt"))
        return Mod1Mask;
    if (name == QLatin1String("shift"))
        return ShiftMask;
    if (name == QLatin1String("super") || name == QLatin1String("meta") || name == QLatin1String("win"))
        return Mod4Mask;
    return std::nullopt;
}

// The keysym and whether the key types a character.
std::optional<std::pair<unsigned long, bool>> keysymOf(const QString &name)
{
    // Latin-1 keysyms are the characters' own codes; letters by their small form.
    if (name.size() == 1 && name[0].unicode() > 0x20 && name[0].unicode() < 0x7f)
        return std::pair(static_cast<unsigned long>(name[0].unicode()), true);
    for (const NamedKeysym &key : NamedKeys) {
        if (name == QLatin1String(key.name))
            return std::pair(key.keysym, key.keysym == XK_space);
    }
    bool isNumber = false;
    const int function = name.startsWith(QLatin1Char('f')) ? name.mid(1).toInt(&isNumber) : 0;
    if (isNumber && function >= 1 && function <= 24 && !name.mid(1).startsWith(QLatin1Char('0')))
        return std::pair(static_cast<unsigned long>(XK_F1 + function - 1), false);
    return std::nullopt;
}

} // namespace

std::optional<X11Key> parseX11Key(const QString &text)
{
    // The key is what follows the last "+" before the end: "Ctrl++" names the plus key.
    const QString lower = text.trimmed().toLower();
    const qsizetype split = lower.size() < 2 ? -1 : lower.lastIndexOf(QLatin1Char('+'), lower.size() - 2);
    const QString keyName = lower.mid(split + 1).trimmed();
    const QString rest = split < 0 ? QString() : lower.left(split);
    const auto key = keysymOf(keyName);
    if (!key)
        return std::nullopt;
    X11Key result{key->first, 0};
    if (split >= 0) {
        for (const QString &part : rest.split(QLatin1Char('+'))) {
            const auto mask = modifierMask(part.trimmed());
            if (!mask || (result.modifiers & *mask))
                return std::nullopt;
            result.modifiers |= *mask;
        }
    }
    if (key->second && !(result.modifiers & (ControlMask | Mod1Mask | Mod4Mask)))
        return std::nullopt;
    return result;
}

bool isTerminalClass(const QString &windowClass)
{
    // The terminals met on Linux desktops, by their class as they set it (compared in small letters).
    static const QStringList terminals = {
        QStringLiteral("xterm"),          QStringLiteral("uxterm"),     QStringLiteral("urxvt"),
        QStringLiteral("rxvt"),           QStringLiteral("gnome-terminal"), QStringLiteral("gnome-terminal-server"),
        QStringLiteral("konsole"),        QStringLiteral("xfce4-terminal"), QStringLiteral("alacritty"),
        QStringLiteral("kitty"),          QStringLiteral("tilix"),      QStringLiteral("terminator"),
        QStringLiteral("st"),             QStringLiteral("st-256color"), QStringLiteral("lxterminal"),
        QStringLiteral("mate-terminal"),  QStringLiteral("qterminal"),  QStringLiteral("terminology"),
        QStringLiteral("wezterm"),        QStringLiteral("org.wezfurlong.wezterm"), QStringLiteral("foot"),
        QStringLiteral("kgx"),            QStringLiteral("org.gnome.console"), QStringLiteral("sakura"),
        QStringLiteral("guake"),          QStringLiteral("tilda"),      QStringLiteral("yakuake"),
    };
    return terminals.contains(windowClass.toLower());
}
