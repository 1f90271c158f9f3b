#include "WriteAccess.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <unistd.h>

QString whyDatabaseNotWritable(const QString &path, bool openedReadOnly)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (QStorageInfo(folder).isReadOnly())
        return QStringLiteral("it lies on a read-only file system");
    if (openedReadOnly)
        return QStringLiteral("the file is read-only");
    // access() answers for the user the program runs as, root included.
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return QStringLiteral("its folder %1 is read-only, and every change needs room for a journal file there")
            .arg(folder);
    return QString();
}
