#pragma once

#include <QStringList>
#include <QTextStream>

// Copies a whole speech library between a file and a server (either way, or file to file):
// every language and speech with its ID and every value as it is, the speeches' kept versions
// and how often each was copied, into a target that holds nothing yet, in one transaction.
namespace LibraryCopy {

struct Copied
{
    qint64 languages = 0;
    qint64 speeches = 0;
    qint64 versions = 0; // kept versions of speeches
    QString target; // for messages; never a password
};

// Raises EDatabaseError when the copy cannot be made; the target is then left as it was
// (a new file removed).
Copied copy(const QString &from, const QString &to);

// tinlark-makedb --copy FROM TO (arguments: the two): copies, says what it copied and returns the exit code.
int copyCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace LibraryCopy
