#include "ProgramInstance.h"

#include "ApplicationAdaptor.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>

const QString ProgramInstance::DesktopId = QStringLiteral("io.github.tinlark.Tinlark");
const QString ProgramInstance::PickAction = QStringLiteral("pick");

namespace {

const QString InterfaceName = QStringLiteral("org.freedesktop.Application");
const int HandOverTimeoutMs = 5000;

// The settings file's canonical path; the file itself need not exist yet.
QString canonicalSettingsPath(const QString &settingsPath)
{
    const QFileInfo file(settingsPath);
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? QDir::cleanPath(file.absolutePath()) : folder) + QLatin1Char('/') + file.fileName();
}

// Only a bus the session announces: libdbus would otherwise start a private bus of its own
// for every X display, which outlives the program.
bool sessionBusAnnounced()
{
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")).isEmpty())
        return true;
    const QString runtime = environment.value(QStringLiteral("XDG_RUNTIME_DIR"));
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

// What a desktop passes along: the start-up token, so that the window manager lets the
// running program's window come to the front.
QVariantMap platformData()
{
    QVariantMap data;
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString startupId = environment.value(QStringLiteral("DESKTOP_STARTUP_ID"));
    if (!startupId.isEmpty())
        data.insert(QStringLiteral("desktop-startup-id"), startupId);
    const QString token = environment.value(QStringLiteral("XDG_ACTIVATION_TOKEN"));
    if (!token.isEmpty())
        data.insert(QStringLiteral("activation-token"), token);
    return data;
}

} // namespace

ProgramInstance::ProgramInstance(const QString &settingsPath, QObject *parent)
    : QObject(parent), m_serviceName(serviceName(settingsPath))
{
}

ProgramInstance::~ProgramInstance()
{
    if (m_registered) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(objectPath(m_serviceName));
        bus.unregisterService(m_serviceName);
    }
}

QString ProgramInstance::serviceName(const QString &settingsPath)
{
    // A bus name's elements may not start with a digit, hence the letter before the hash.
    const QByteArray hash =
        QCryptographicHash::hash(canonicalSettingsPath(settingsPath).toUtf8(), QCryptographicHash::Sha256).toHex();
    return DesktopId + QStringLiteral(".s") + QString::fromLatin1(hash.left(16));
}

QString ProgramInstance::objectPath(const QString &serviceName)
{
    QString path = QLatin1Char('/') + serviceName;
    path.replace(QLatin1Char('.'), QLatin1Char('/')).replace(QLatin1Char('-'), QLatin1Char('_'));
    return path;
}

bool ProgramInstance::handOver(const QString &action)
{
    if (!sessionBusAnnounced())
        return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // Owning the name decides at once which of two programs started together runs.
    if (registerHere())
        return false;
    return callRunning(bus, action);
}

bool ProgramInstance::handOverEarly(const QString &action)
{
    if (!sessionBusAnnounced())
        return false;
    const QString name = QStringLiteral("tinlark-hand-over");
    bool taken = false;
    {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        taken = bus.isConnected() && bus.interface()->isServiceRegistered(m_serviceName) && callRunning(bus, action);
    }
    QDBusConnection::disconnectFromBus(name);
    return taken;
}

bool ProgramInstance::callRunning(QDBusConnection &bus, const QString &action)
{
    QDBusMessage call = action.isEmpty()
        ? QDBusMessage::createMethodCall(m_serviceName, objectPath(m_serviceName), InterfaceName, QStringLiteral("Activate"))
        : QDBusMessage::createMethodCall(m_serviceName, objectPath(m_serviceName), InterfaceName,
                                         QStringLiteral("ActivateAction"));
    if (action.isEmpty())
        call << platformData();
    else
        call << action << QVariantList() << platformData();
    const QDBusMessage reply = bus.call(call, QDBus::Block, HandOverTimeoutMs);
    // A program that does not answer (ending, or hung) is left alone: this one runs.
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool ProgramInstance::registerHere()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    m_adaptor = new ApplicationAdaptor(this);
    connect(m_adaptor, &ApplicationAdaptor::activated, this, &ProgramInstance::activated);
    connect(m_adaptor, &ApplicationAdaptor::actionActivated, this, &ProgramInstance::actionActivated);
    if (!bus.registerObject(objectPath(m_serviceName), this, QDBusConnection::ExportAdaptors))
        return false;
    const auto reply = bus.interface()->registerService(m_serviceName, QDBusConnectionInterface::DontQueueService,
                                                        QDBusConnectionInterface::DontAllowReplacement);
    m_registered = reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
    if (!m_registered)
        bus.unregisterObject(objectPath(m_serviceName));
    return m_registered;
}
