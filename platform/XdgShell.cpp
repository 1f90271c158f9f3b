#include "XdgShell.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

namespace {

// A link (mailto:, http:, ...) rather than a file: a scheme of two or more characters, so
// that a drive letter is none.
bool isLink(const QString &file)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(file).hasMatch();
}

// This program's environment without the PostgreSQL client's settings, which may hold a
// password (PGPASSWORD) or say where one is (PGPASSFILE).
QProcessEnvironment environmentForChildren()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : environment.keys()) {
        if (name.startsWith(QLatin1String("PG")))
            environment.remove(name);
    }
    return environment;
}

} // namespace

XdgShell::XdgShell(int waitLimitMs) : m_waitLimitMs(waitLimitMs)
{
}

bool XdgShell::openAndWait(const QString &file, const QString &parameters)
{
    // Not parented and deleted only once it has finished: deleting a running QProcess kills
    // the program, which must outlive a wait that gave up.
    auto *process = new QProcess;
    const QFileInfo info(file);
    // A link goes to the desktop as it is, never taken for a file of that name in the
    // current folder.
    if (!file.isEmpty() && !isLink(file) && info.isFile() && info.isExecutable()) {
        process->setProgram(info.absoluteFilePath());
        process->setArguments(QProcess::splitCommand(parameters));
    } else {
        // xdg-open takes one target and nothing else; parameters belong to programs only.
        process->setProgram(QStringLiteral("xdg-open"));
        process->setArguments({file});
    }
    // The program shares this program's output and reads nothing, so that no pipe to a
    // program left running can fill up and stall it.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessEnvironment(environmentForChildren());

    QEventLoop wait;
    bool started = true;
    QObject::connect(process, &QProcess::finished, &wait, &QEventLoop::quit);
    QObject::connect(process, &QProcess::errorOccurred, &wait, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            started = false;
            wait.quit();
        }
    });
    QTimer::singleShot(m_waitLimitMs, &wait, &QEventLoop::quit);
    process->start();
    if (started) // a program that cannot be found may be reported at once
        wait.exec(QEventLoop::ExcludeUserInputEvents);

    if (process->state() == QProcess::NotRunning) {
        delete process;
    } else {
        ++*m_leftRunning;
        QObject::connect(process, &QProcess::finished, process, [process, left = m_leftRunning] {
            --*left;
            process->deleteLater();
        });
    }
    return started;
}
