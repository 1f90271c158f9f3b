#include "PrivateProfile.h"

#include "ProfileText.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSaveFile>
#include <optional>
#include <sys/stat.h>
#include <ctime>
#include <unistd.h>

namespace {

// Settings files hold a few hundred bytes. A file of more than a mebibyte is not ours: it is
// not read (every line costs memory and time at each read) and, since it was not read, never
// replaced.
constexpr qint64 MaxFileSize = 1024 * 1024;

// What identifies one state of a file: any write, replacement, rename or change of its times
// gives a new change time or a new file.
struct FileState
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec changed{};

    explicit FileState(const struct stat &status)
        : device(status.st_dev), inode(status.st_ino), size(status.st_size), changed(status.st_ctim) {}
    bool operator==(const FileState &other) const
    {
        return device == other.device && inode == other.inode && size == other.size
            && changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

// The files read so far, as they were read. The program reads its settings many times while it
// starts; a file whose state has not changed since is not read and parsed again. Change times
// advance in ticks of a few milliseconds, so two writes within one tick could leave the same
// state behind: a file changed less than a second before it was read is never kept.
struct KeptProfile
{
    FileState state;
    ProfileText text;
};
QMutex keptProfilesMutex;
QHash<QString, KeptProfile> keptProfiles;

bool settledWhenRead(const FileState &state)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    // A second: far more than a tick, and rarely met at a start, the file being older.
    return now.tv_sec - state.changed.tv_sec > 1
        || (now.tv_sec - state.changed.tv_sec == 1 && now.tv_nsec >= state.changed.tv_nsec);
}

// The settings file as it stands: an empty text when there is no file, nothing when there is
// one that cannot be read whole (no permission, a folder, a pipe or device, too large, a read
// error). Only plain files are opened: opening a pipe could wait for ever.
std::optional<ProfileText> readProfile(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists() && !info.isSymLink())
        return ProfileText();
    QFile file(fileName);
    if (!info.isFile() || info.size() > MaxFileSize)
        return std::nullopt;
    struct stat status{};
    if (::stat(QFile::encodeName(fileName).constData(), &status) == 0) {
        const QMutexLocker lock(&keptProfilesMutex);
        const auto kept = keptProfiles.constFind(fileName);
        if (kept != keptProfiles.cend() && kept->state == FileState(status))
            return kept->text;
    }
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    struct stat before{};
    const bool known = ::fstat(file.handle(), &before) == 0;
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxFileSize || !file.atEnd())
        return std::nullopt;
    ProfileText text(bytes);
    // Kept only when nothing changed the file while it was read.
    if (known && ::fstat(file.handle(), &status) == 0 && FileState(status) == FileState(before)
        && settledWhenRead(FileState(status))) {
        const QMutexLocker lock(&keptProfilesMutex);
        keptProfiles.insert(fileName, {FileState(status), text});
    }
    return text;
}

// Replaces the file by one holding bytes. Every byte must reach the disk before the new file
// takes the old one's place; on any failure the old file stays as it was.
bool replaceFile(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    // Unbuffered, so that a full disk fails the write itself and not a flush nobody checks.
    const bool isNew = !QFileInfo::exists(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    // A new settings file is its owner's alone; one that exists keeps the mode it has.
    if (isNew && ::fchmod(file.handle(), 0600) != 0)
        return false;
    if (file.write(bytes) != bytes.size())
        return false;
    if (::fsync(file.handle()) != 0)
        return false;
    return file.commit();
}

} // namespace

namespace PrivateProfile {

QString getString(const QString &section, const QString &key, const QString &defaultValue,
                  const QString &fileName, int bufferSize)
{
    const std::optional<ProfileText> text = readProfile(fileName);
    QString value = text ? text->value(section, key).value_or(defaultValue) : defaultValue;
    if (bufferSize > 0 && value.size() > bufferSize - 1)
        value.truncate(bufferSize - 1);
    return value;
}

bool writeString(const QString &section, const QString &key, const QString &value,
                 const QString &fileName)
{
    return writeStrings(section, {{key, value}}, fileName);
}

bool writeStrings(const QString &section, const QList<std::pair<QString, QString>> &keysAndValues,
                  const QString &fileName)
{
    std::optional<ProfileText> text = readProfile(fileName);
    // What could not be read is never replaced: the write is refused instead.
    if (!text)
        return false;
    for (const auto &[key, value] : keysAndValues)
        text->setValue(section, key, value);
    return replaceFile(fileName, text->toBytes());
}

} // namespace PrivateProfile
