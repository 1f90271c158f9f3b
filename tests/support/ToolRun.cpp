#include "ToolRun.h"

#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>
#include <unistd.h>

namespace ToolRun {

QString tool(const char *name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

Result run(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment, int timeoutMs)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
    process.start(program.startsWith(QLatin1Char('/')) ? program : tool(program.toLatin1().constData()), arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {-1, process.readAll()};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAll()};
}

bool startAsUser(QProcess &process, const QString &program, const QStringList &arguments,
                 const QProcessEnvironment &environment)
{
    process.setProcessEnvironment(environment);
    if (::geteuid() == 0)
        process.start(tool("setpriv"), QStringList{QStringLiteral("--reuid=%1").arg(OrdinaryUser),
                                                   QStringLiteral("--regid=%1").arg(OrdinaryUser),
                                                   QStringLiteral("--clear-groups"), program} +
                                           arguments);
    else
        process.start(program, arguments);
    return process.waitForStarted();
}

bool giveToUser(const QString &path)
{
    if (::geteuid() != 0)
        return true;
    QStringList entries{path};
    QDirIterator it(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(it.next());
    for (const QString &entry : std::as_const(entries)) {
        if (::chown(QFile::encodeName(entry).constData(), OrdinaryUser, OrdinaryUser) != 0)
            return false;
    }
    return true;
}

} // namespace ToolRun
