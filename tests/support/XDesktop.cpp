#include "XDesktop.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

QString XDesktop::tool(const char *name)
{
    const QString program = QString::fromLocal8Bit(name);
    return program.startsWith(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
}

XDesktop::~XDesktop()
{
    // The window manager first, then the server it works on; the bus ends with its member.
    for (QProcess *process : {&m_windowManager, &m_server}) {
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished();
        }
    }
}

bool XDesktop::start(const QString &screen, bool windowManager)
{
    for (const char *name : {"Xvfb", "xdotool", "xprop", windowManager ? "openbox" : "Xvfb"}) {
        if (tool(name).isEmpty()) {
            m_error = QStringLiteral("%1 is missing: run scripts/install-deps.sh").arg(QString::fromLatin1(name));
            return false;
        }
    }
    // A display number nobody uses.
    int display = 90 + int(QCoreApplication::applicationPid() % 100);
    while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)) ||
           QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(display)))
        ++display;
    m_server.start(tool("Xvfb"), {QStringLiteral(":%1").arg(display), QStringLiteral("-screen"), QStringLiteral("0"),
                                  screen, QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                  // No reset when the last client leaves, so that the next one
                                  // never arrives while the server starts over and is turned away.
                                  QStringLiteral("-noreset")});
    if (!m_server.waitForStarted() ||
        !QTest::qWaitFor([display] { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)); }, 10000)) {
        m_error = QStringLiteral("Xvfb did not start on :%1").arg(display);
        return false;
    }
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(display));
    m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    if (!windowManager)
        return true;
    m_windowManager.setProcessEnvironment(m_environment);
    m_windowManager.start(tool("openbox"), {});
    // The window manager announces itself on the root window once it manages windows.
    if (!m_windowManager.waitForStarted() ||
        !QTest::qWaitFor(
            [this] { return run("xprop", {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")}).contains("window id"); },
            30000)) {
        m_error = QStringLiteral("openbox did not start: ") + QString::fromLocal8Bit(m_windowManager.readAllStandardError());
        return false;
    }
    return true;
}

bool XDesktop::startSessionBus()
{
    if (!m_sessionBus.start(m_environment)) {
        m_error = m_sessionBus.error();
        return false;
    }
    m_environment = m_sessionBus.environment();
    return true;
}

QByteArray XDesktop::run(const char *name, const QStringList &arguments, int timeoutMs) const
{
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.start(tool(name), arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
    return process.readAllStandardOutput();
}

QString XDesktop::waitForWindow(const QString &title, int timeoutMs) const
{
    return QString::fromLatin1(run("xdotool",
                                   {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                                    QStringLiteral("--name"), QStringLiteral("^%1$").arg(title)},
                                   timeoutMs)
                                   .split('\n')
                                   .value(0));
}
