#include "PickerReach.h"

#include "IniFile.h"
#include "X11GlobalKey.h"
#include "X11Paste.h"

#include <QGuiApplication>
#include <cstdio>

namespace {

const QString Section = QStringLiteral("Picker");

bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

QNativeInterface::QX11Application *x11()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
}

} // namespace

PickerReach::PickerReach(const QString &settingsPath, std::function<void()> openPicker)
    : m_openPicker(std::move(openPicker))
{
    const IniFile settings(settingsPath);
    const QString keyText = settings.readString(Section, QStringLiteral("GlobalKey"), QString()).trimmed();
    if (!keyText.isEmpty())
        takeKey(keyText);
    if (settings.readBool(Section, QStringLiteral("PasteAfterCopy"), false) && onX11() && x11())
        m_paste = std::make_unique<X11Paste>(x11()->display());
    if (!m_notice.isEmpty())
        std::fprintf(stderr, "tinlark: %s\n", qPrintable(m_notice));
}

PickerReach::~PickerReach()
{
    // Let go of the key before the connection to the display ends.
    if (m_key)
        qGuiApp->removeNativeEventFilter(m_key.get());
}

void PickerReach::takeKey(const QString &keyText)
{
    const std::optional<X11Key> key = parseX11Key(keyText);
    if (!key) {
        m_notice = QStringLiteral("The picker's key \"%1\" is no key this program can take: "
                                  "write one such as Ctrl+Alt+Space").arg(keyText);
    } else if (!onX11() || !x11()) {
        m_notice = QStringLiteral("The picker's key %1 works on X11 only: "
                                  "bind tinlark --pick to it in the desktop's keyboard settings").arg(keyText);
    } else {
        m_key = std::make_unique<X11GlobalKey>(x11()->display(), x11()->connection(), *key, [this] { m_openPicker(); });
        if (m_key->grab()) {
            qGuiApp->installNativeEventFilter(m_key.get());
        } else {
            m_key.reset();
            m_notice = QStringLiteral("The picker's key %1 is taken by another program").arg(keyText);
        }
    }
}

bool PickerReach::pastesIntoTerminal() const
{
    return m_paste && m_paste->rememberedIsTerminal();
}

void PickerReach::pickerOpening()
{
    if (m_paste)
        m_paste->rememberFocus();
}

void PickerReach::pickerCopied()
{
    if (m_paste)
        m_paste->pasteIntoRemembered();
}
