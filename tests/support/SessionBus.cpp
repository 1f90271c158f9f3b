#include "SessionBus.h"

#include <QFile>
#include <QStandardPaths>
#include <QTest>

SessionBus::~SessionBus()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000)) {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }
}

bool SessionBus::start(const QProcessEnvironment &environment, Services services)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (program.isEmpty()) {
        m_error = QStringLiteral("dbus-daemon is missing: run scripts/install-deps.sh");
        return false;
    }
    m_environment = environment;
    QFile::setPermissions(m_runtimeFolder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeFolder.path());
    m_daemon.setProcessEnvironment(m_environment);
    QString configuration = QStringLiteral("--session");
    if (services == Services::None) {
        // The session bus's own settings, less the folders of services it may start.
        QFile file(m_runtimeFolder.filePath(QStringLiteral("bus.conf")));
        const QByteArray text = "<busconfig><type>session</type><listen>unix:dir=" + m_runtimeFolder.path().toUtf8()
                                + "</listen><policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                  "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush()) {
            m_error = QStringLiteral("cannot write the bus's settings: ") + file.errorString();
            return false;
        }
        configuration = QStringLiteral("--config-file=") + file.fileName();
    }
    m_daemon.start(program, {configuration, QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted() || !QTest::qWaitFor([this] { return m_daemon.canReadLine(); }, 10000)) {
        m_error = QStringLiteral("dbus-daemon did not start");
        return false;
    }
    m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(m_daemon.readLine().trimmed()));
    return true;
}
