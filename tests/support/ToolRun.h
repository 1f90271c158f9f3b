#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <sys/types.h>

// Runs the machine's own programs from a test, and the installed program as a user would.
namespace ToolRun {

// An ordinary user, for the runs of an installed program when the test runs as root (root
// may write anywhere, so for root no program folder is read-only).
constexpr uid_t OrdinaryUser = 65534;

// The full path of a program on PATH; empty when there is none.
QString tool(const char *name);

struct Result
{
    int exitCode = -1; // -1 when it crashed or did not end in time
    QByteArray output; // standard output and error together
};

// Runs program (a name on PATH or a full path) to its end.
Result run(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment = {},
           int timeoutMs = 60000);

// Starts program with this environment, as OrdinaryUser when the test runs as root.
bool startAsUser(QProcess &process, const QString &program, const QStringList &arguments,
                 const QProcessEnvironment &environment);

// Gives path and every folder under it to OrdinaryUser when the test runs as root.
bool giveToUser(const QString &path);

} // namespace ToolRun
