#include "TestKeyring.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QStandardPaths>
#include <QTest>
#include <csignal>

namespace {

const QString Daemon = QStringLiteral("gnome-keyring-daemon");

} // namespace

TestKeyring::~TestKeyring()
{
    stop();
    if (m_addressSet && m_formerAddress)
        qputenv("DBUS_SESSION_BUS_ADDRESS", *m_formerAddress);
    else if (m_addressSet)
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
}

QString TestKeyring::missingReason()
{
    return QStandardPaths::findExecutable(Daemon).isEmpty()
               ? QStringLiteral("gnome-keyring is missing: run scripts/install-deps.sh")
               : QString();
}

void TestKeyring::stop()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    freeze(false);
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000)) {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
}

void TestKeyring::freeze(bool frozen)
{
    if (m_daemon.state() == QProcess::Running)
        ::kill(pid_t(m_daemon.processId()), frozen ? SIGSTOP : SIGCONT);
}

bool TestKeyring::start()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Its keyrings, settings and sockets in the test's folder; no display to ask on.
    for (const char *name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        environment.insert(QString::fromLatin1(name), m_home.path());
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    // Nothing on the bus starts a keyring of its own: the one started here, or none.
    if (!m_bus.start(environment, SessionBus::Services::None)) {
        m_error = m_bus.error();
        return false;
    }
    m_daemon.setProcessEnvironment(m_bus.environment());
    // Unlocked with a known password read from its input: it makes the login keyring with it,
    // the default collection, and never asks anyone.
    m_daemon.start(QStandardPaths::findExecutable(Daemon),
                   {QStringLiteral("--foreground"), QStringLiteral("--unlock"), QStringLiteral("--components=secrets")});
    if (!m_daemon.waitForStarted()) {
        m_error = QStringLiteral("gnome-keyring-daemon did not start");
        return false;
    }
    m_daemon.write("known password");
    m_daemon.closeWriteChannel();
    QDBusConnection bus = QDBusConnection::connectToBus(m_bus.address(), QStringLiteral("TestKeyring"));
    const bool answers = QTest::qWaitFor(
        [&] {
            return m_daemon.state() == QProcess::Running
                   && bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")).value();
        },
        10000);
    QDBusConnection::disconnectFromBus(QStringLiteral("TestKeyring"));
    if (!answers) {
        m_error = QStringLiteral("gnome-keyring-daemon did not answer on the bus: ")
                  + QString::fromLocal8Bit(m_daemon.readAllStandardError());
        return false;
    }
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        m_formerAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    m_addressSet = true;
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.address().toUtf8());
    return true;
}
