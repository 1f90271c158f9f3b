#include <gio/gio.h>

#include "KeyringDeadline.h"

#include "OnDemandLibrary.h"

namespace {

// GIO comes with the keyring's library, loaded on demand: its functions are found the same way.
template <typename Function> Function gio(const char *name)
{
    return reinterpret_cast<Function>(onDemandSymbol("libgio-2.0.so.0", name));
}

template <typename Function> Function gobject(const char *name)
{
    return reinterpret_cast<Function>(onDemandSymbol("libgobject-2.0.so.0", name));
}

// Whether the keyring answers a Ping within timeoutMs.
bool keyringAnswers(int timeoutMs)
{
    static const auto busGet = gio<decltype(&::g_bus_get_sync)>("g_bus_get_sync");
    static const auto call = gio<decltype(&::g_dbus_connection_call_sync)>("g_dbus_connection_call_sync");
    static const auto release = gobject<decltype(&::g_object_unref)>("g_object_unref");
    if (!busGet || !call || !release)
        return true; // nothing to tell by: the call waits as it would
    GDBusConnection *bus = busGet(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return false;
    GError *error = nullptr;
    GVariant *reply = call(bus, "org.freedesktop.secrets", "/org/freedesktop/secrets", "org.freedesktop.DBus.Peer",
                           "Ping", nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, timeoutMs, nullptr, &error);
    const bool answered = reply != nullptr;
    if (reply)
        g_variant_unref(reply);
    if (error)
        g_error_free(error);
    release(bus);
    return answered;
}

} // namespace

KeyringDeadline::KeyringDeadline(std::chrono::milliseconds every, std::chrono::milliseconds answer)
{
    static const auto make = gio<decltype(&::g_cancellable_new)>("g_cancellable_new");
    if (!make)
        return;
    m_cancellable = make();
    m_watcher = std::thread([this, every, answer] { watch(every, answer); });
}

KeyringDeadline::~KeyringDeadline()
{
    if (!m_cancellable)
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_finished.notify_one();
    m_watcher.join();
    static const auto release = gobject<decltype(&::g_object_unref)>("g_object_unref");
    release(m_cancellable);
}

bool KeyringDeadline::expired() const
{
    const std::lock_guard lock(m_mutex);
    return m_expired;
}

void KeyringDeadline::watch(std::chrono::milliseconds every, std::chrono::milliseconds answer)
{
    static const auto cancel = gio<decltype(&::g_cancellable_cancel)>("g_cancellable_cancel");
    std::unique_lock lock(m_mutex);
    while (!m_finished.wait_for(lock, every, [this] { return m_done; })) {
        lock.unlock();
        const bool answers = keyringAnswers(int(answer.count()));
        lock.lock();
        if (!answers && !m_done) {
            m_expired = true;
            if (cancel)
                cancel(m_cancellable); // safe from any thread
            return;
        }
    }
}
