#pragma once

#include "X11Keys.h"

#include <QAbstractNativeEventFilter>
#include <QString>
#include <functional>
#include <vector>

struct _XDisplay;
struct xcb_connection_t;

// A key of the program's own on the whole X display: grabbed on the root window, with and
// without Num Lock and Caps Lock, so that pressing it anywhere calls pressed; let go again when
// the object ends. Install it as the application's native event filter to see the presses.
class X11GlobalKey : public QAbstractNativeEventFilter
{
public:
    // display and connection are the application's own (the same X connection).
    X11GlobalKey(_XDisplay *display, xcb_connection_t *connection, X11Key key, std::function<void()> pressed);
    ~X11GlobalKey() override;
    X11GlobalKey(const X11GlobalKey &) = delete;
    X11GlobalKey &operator=(const X11GlobalKey &) = delete;

    // Takes the key; false when another program holds it (or the keyboard has no such key),
    // and then nothing stays grabbed.
    bool grab();

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void ungrab();

    _XDisplay *m_display;
    xcb_connection_t *m_connection;
    X11Key m_key;
    std::function<void()> m_pressed;
    unsigned char m_keycode = 0;
    unsigned int m_ignoredLocks = 0; // Num Lock and Caps Lock, whatever the other modifiers
    std::vector<unsigned int> m_grabbedMasks;
};
