#include "SmallFileSystem.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const char FillerName[] = "filler";

} // namespace

SmallFileSystem::SmallFileSystem(const QString &mountPoint, qint64 bytes) : m_mountPoint(mountPoint)
{
    if (::geteuid() != 0) {
        m_skipReason = QStringLiteral("mounting a small file system needs root");
        return;
    }
    QDir().mkpath(mountPoint);
    // Private, as the folders the program makes itself are (a new tmpfs is open to everyone).
    const QByteArray options = "mode=0700,size=" + QByteArray::number(bytes);
    if (::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, options.constData()) != 0) {
        m_skipReason = QStringLiteral("mounting a tmpfs failed: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_mounted = true;
}

SmallFileSystem::~SmallFileSystem()
{
    if (m_mounted)
        ::umount2(QFile::encodeName(m_mountPoint).constData(), MNT_DETACH);
}

bool SmallFileSystem::fill()
{
    const QByteArray path = QFile::encodeName(QDir(m_mountPoint).filePath(QLatin1String(FillerName)));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd < 0)
        return false;
    const QByteArray block(4096, 'f');
    bool full = false;
    for (int i = 0; i < 1 << 20 && !full; ++i) {
        if (::write(fd, block.constData(), size_t(block.size())) < 0)
            full = errno == ENOSPC;
    }
    // The last few bytes of a partly filled page.
    while (full && ::write(fd, "f", 1) == 1) {
    }
    ::close(fd);
    return full;
}

void SmallFileSystem::freeFiller()
{
    QFile::remove(QDir(m_mountPoint).filePath(QLatin1String(FillerName)));
}

bool SmallFileSystem::makeReadOnly()
{
    return ::mount("tmpfs", QFile::encodeName(m_mountPoint).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr)
           == 0;
}
