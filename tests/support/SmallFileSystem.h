#pragma once

#include <QString>

// A real file system of its own, small enough to fill: a tmpfs mounted on a folder the test
// names. Mounting needs root; available() says whether it worked and skipReason() why not.
// Unmounted, with everything on it, when the test ends.
class SmallFileSystem
{
public:
    SmallFileSystem(const QString &mountPoint, qint64 bytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    bool available() const { return m_mounted; }
    const QString &skipReason() const { return m_skipReason; }

    // Writes a filler file until the file system has no room left; false when it never filled.
    bool fill();
    void freeFiller();
    // Makes the file system read-only, as a read-only mount or medium is.
    bool makeReadOnly();

private:
    QString m_mountPoint;
    QString m_skipReason;
    bool m_mounted = false;
};
