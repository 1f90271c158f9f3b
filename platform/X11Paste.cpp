#include "X11Paste.h"

#include "OnDemandLibrary.h"
#include "X11Keys.h"

#include <QStringList>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <algorithm>
#include <vector>

namespace {

constexpr int FocusCheckMs = 10;
constexpr int FocusWaitMs = 500;

// XTest is loaded when a paste is first sent rather than at every start; null when it cannot be.
decltype(&::XTestFakeKeyEvent) fakeKeyEvent()
{
    static const auto send =
        reinterpret_cast<decltype(&::XTestFakeKeyEvent)>(onDemandSymbol("libXtst.so.6", "XTestFakeKeyEvent"));
    return send;
}

} // namespace

X11Paste::X11Paste(_XDisplay *display, QObject *parent) : QObject(parent), m_display(display)
{
    m_focusCheck.setInterval(FocusCheckMs);
    connect(&m_focusCheck, &QTimer::timeout, this, &X11Paste::checkFocus);
}

// The window manager's word on the active window; the input focus where there is none.
unsigned long X11Paste::activeWindow() const
{
    Window active = None;
    const Atom property = XInternAtom(m_display, "_NET_ACTIVE_WINDOW", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(m_display, DefaultRootWindow(m_display), property, 0, 1, False, XA_WINDOW, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
        if (type == XA_WINDOW && format == 32 && count == 1)
            active = *reinterpret_cast<Window *>(data);
        XFree(data);
    }
    if (active == None) {
        int revert = 0;
        XGetInputFocus(m_display, &active, &revert);
        if (active == PointerRoot)
            active = None;
    }
    return windowWithClass(active);
}

// The window itself or the nearest one above it that names its class: the program's window
// rather than a part of it.
unsigned long X11Paste::windowWithClass(unsigned long window, QStringList *classNames) const
{
    const Window root = DefaultRootWindow(m_display);
    while (window != None && window != root) {
        XClassHint hint{};
        if (XGetClassHint(m_display, window, &hint)) {
            if (classNames)
                *classNames = {QString::fromLocal8Bit(hint.res_name), QString::fromLocal8Bit(hint.res_class)};
            XFree(hint.res_name);
            XFree(hint.res_class);
            return window;
        }
        Window parent = None, rootReturn = None, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(m_display, window, &rootReturn, &parent, &children, &count))
            return None;
        if (children)
            XFree(children);
        window = parent;
    }
    return None;
}

bool X11Paste::hasFocus(unsigned long window) const
{
    Window focus = None;
    int revert = 0;
    XGetInputFocus(m_display, &focus, &revert);
    return focus != None && focus != PointerRoot && windowWithClass(focus) == window;
}

void X11Paste::rememberFocus()
{
    m_focusCheck.stop();
    m_remembered = activeWindow();
    // Terminals are told apart by either name of the class (WM_CLASS holds two).
    QStringList classNames;
    if (m_remembered != None)
        windowWithClass(m_remembered, &classNames);
    m_rememberedTerminal = std::any_of(classNames.begin(), classNames.end(), isTerminalClass);
}

void X11Paste::pasteIntoRemembered()
{
    if (m_remembered == None) {
        emit pasted(false);
        return;
    }
    // A pager's request (source 2): window managers grant it without second thoughts.
    XEvent request{};
    request.xclient.type = ClientMessage;
    request.xclient.window = m_remembered;
    request.xclient.message_type = XInternAtom(m_display, "_NET_ACTIVE_WINDOW", False);
    request.xclient.format = 32;
    request.xclient.data.l[0] = 2;
    request.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, DefaultRootWindow(m_display), False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
    XFlush(m_display);
    m_checksLeft = FocusWaitMs / FocusCheckMs;
    m_focusCheck.start();
}

// Keys sent before the focus is back would land in the wrong window: wait for it, a while.
void X11Paste::checkFocus()
{
    if (hasFocus(m_remembered)) {
        m_focusCheck.stop();
        const bool sent = sendPasteKeys(m_rememberedTerminal);
        m_remembered = None;
        emit pasted(sent);
    } else if (--m_checksLeft <= 0) {
        m_focusCheck.stop();
        m_remembered = None;
        emit pasted(false);
    }
}

bool X11Paste::sendPasteKeys(bool terminal)
{
    const auto send = fakeKeyEvent();
    if (!send)
        return false;
    std::vector<KeyCode> keys{XKeysymToKeycode(m_display, XK_Control_L)};
    if (terminal)
        keys.push_back(XKeysymToKeycode(m_display, XK_Shift_L));
    keys.push_back(XKeysymToKeycode(m_display, XK_v));
    for (const KeyCode key : keys)
        send(m_display, key, True, CurrentTime);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        send(m_display, *key, False, CurrentTime);
    XFlush(m_display);
    return true;
}
