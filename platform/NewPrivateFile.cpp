#include "NewPrivateFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const QByteArray &content)
{
    qsizetype done = 0;
    while (done < content.size()) {
        const ssize_t written = ::write(fd, content.constData() + done, size_t(content.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return ::fsync(fd) == 0;
}

} // namespace

namespace NewPrivateFile {

int createTemporary(const QString &path, QByteArray *temporary)
{
    const QFileInfo target(path);
    int fd = -1;
    for (int attempt = 0; attempt < 10 && fd < 0; ++attempt) {
        *temporary = QFile::encodeName(target.absolutePath()) + "/." + QFile::encodeName(target.fileName()) + '.'
                     + QByteArray::number(QRandomGenerator::system()->generate64(), 36);
        fd = ::open(temporary->constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    return fd;
}

bool write(const QString &path, const QByteArray &content, int *error)
{
    const QFileInfo target(path);
    const QByteArray name = QFile::encodeName(target.absoluteFilePath());
    // Written under a name nobody can guess, in the same folder, then linked to its own name:
    // link() never replaces and never follows what is there.
    QByteArray temporary;
    const int fd = createTemporary(path, &temporary);
    bool written = fd >= 0 && writeAll(fd, content);
    int failure = written ? 0 : errno;
    if (fd >= 0 && ::close(fd) != 0 && written) {
        written = false;
        failure = errno;
    }
    if (written && ::link(temporary.constData(), name.constData()) != 0) {
        written = false;
        failure = errno;
    }
    if (fd >= 0)
        ::unlink(temporary.constData());
    if (written) {
        // The new name itself is on the disk once its folder is.
        const int folder = ::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    }
    if (error)
        *error = failure;
    return written;
}

} // namespace NewPrivateFile
