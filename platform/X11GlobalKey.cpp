#include "X11GlobalKey.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

// The modifier bit Num Lock sits on: keyboards differ (mostly Mod2).
unsigned int numLockMask(Display *display)
{
    unsigned int mask = 0;
    XModifierKeymap *map = XGetModifierMapping(display);
    const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
    for (int modifier = 0; map && numLock && modifier < 8; ++modifier) {
        for (int index = 0; index < map->max_keypermod; ++index) {
            if (map->modifiermap[modifier * map->max_keypermod + index] == numLock)
                mask = 1u << modifier;
        }
    }
    if (map)
        XFreeModifiermap(map);
    return mask;
}

} // namespace

X11GlobalKey::X11GlobalKey(_XDisplay *display, xcb_connection_t *connection, X11Key key, std::function<void()> pressed)
    : m_display(display), m_connection(connection), m_key(key), m_pressed(std::move(pressed))
{
}

X11GlobalKey::~X11GlobalKey()
{
    ungrab();
}

bool X11GlobalKey::grab()
{
    ungrab();
    m_keycode = XKeysymToKeycode(m_display, m_key.keysym);
    if (m_keycode == 0)
        return false;
    m_ignoredLocks = numLockMask(m_display) | LockMask;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    std::vector<xcb_void_cookie_t> cookies;
    for (const unsigned int locks : {0u, unsigned(LockMask), m_ignoredLocks & ~unsigned(LockMask), m_ignoredLocks}) {
        const unsigned int mask = m_key.modifiers | locks;
        if (std::find(m_grabbedMasks.begin(), m_grabbedMasks.end(), mask) != m_grabbedMasks.end())
            continue; // no Num Lock on this keyboard
        m_grabbedMasks.push_back(mask);
        cookies.push_back(xcb_grab_key_checked(m_connection, 1, root, static_cast<uint16_t>(mask), m_keycode,
                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    // Another program's grab of the same key is refused with BadAccess.
    bool refused = false;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
            refused = true;
            std::free(error);
        }
    }
    if (refused)
        ungrab();
    return !refused;
}

void X11GlobalKey::ungrab()
{
    if (m_grabbedMasks.empty())
        return;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    for (const unsigned int mask : m_grabbedMasks)
        xcb_ungrab_key(m_connection, m_keycode, root, static_cast<uint16_t>(mask));
    xcb_flush(m_connection);
    m_grabbedMasks.clear();
}

bool X11GlobalKey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_grabbedMasks.empty() || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto *press = static_cast<const xcb_key_press_event_t *>(message);
    const unsigned int modifiers = press->state & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask);
    if (press->detail != m_keycode || modifiers != m_key.modifiers)
        return false;
    m_pressed();
    return true;
}
