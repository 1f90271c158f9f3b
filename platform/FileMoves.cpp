#include "FileMoves.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace FileMoves {

int renameWithoutReplacing(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without that kind of rename: a hard link refuses an existing name too.
    if (::link(source.constData(), target.constData()) != 0)
        return errno;
    ::unlink(source.constData());
    return 0;
}

int keepUnderSecondName(const QString &from, const QString &to, bool *renamed)
{
    *renamed = false;
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return 0;
    if (errno != EPERM && errno != EXDEV && errno != ENOTSUP && errno != EMLINK)
        return errno;
    const int error = renameWithoutReplacing(from, to);
    *renamed = error == 0;
    return error;
}

void syncFolderOf(const QString &path)
{
    const int folder = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

} // namespace FileMoves
