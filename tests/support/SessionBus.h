#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// A D-Bus session bus of a test's own, with a runtime folder of its own, so that nothing a
// test starts on it meets the user's desktop. It ends with this object.
class SessionBus
{
public:
    SessionBus() = default;
    ~SessionBus();
    SessionBus(const SessionBus &) = delete;
    SessionBus &operator=(const SessionBus &) = delete;

    // Whether the bus starts the desktop's services (a keyring, ...) when first asked for one.
    enum class Services { Started, None };

    // Starts dbus-daemon in that environment; false, with the reason in error(), if not.
    bool start(const QProcessEnvironment &environment, Services services = Services::Started);
    QString error() const { return m_error; }
    // The environment given to start(), with the bus's address and runtime folder.
    QProcessEnvironment environment() const { return m_environment; }
    QString address() const { return m_environment.value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")); }

private:
    QProcess m_daemon;
    QTemporaryDir m_runtimeFolder;
    QProcessEnvironment m_environment;
    QString m_error;
};
