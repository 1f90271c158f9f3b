#include "LibraryBackup.h"

#include "EAbort.h"
#include "EDatabaseError.h"
#include "FileMoves.h"
#include "NewPrivateFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Pages copied while the database is held for reading: short enough that the window's posts
// wait no longer than a moment, a post in between starting the copy again.
constexpr int PagesPerStep = 1024;
constexpr int BusyTimeoutMs = 5000;

struct CloseDatabase
{
    void operator()(sqlite3 *db) const { sqlite3_close(db); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, CloseDatabase>;

class BackupFailure
{
public:
    BackupFailure(const QString &databasePath, const QString &folder) : m_databasePath(databasePath), m_folder(folder) {}
    [[noreturn]] void raise(const QString &reason) const
    {
        throw EDatabaseError(QStringLiteral("Cannot back up %1 into %2: %3")
                                 .arg(QDir::toNativeSeparators(m_databasePath), QDir::toNativeSeparators(m_folder), reason));
    }
    [[noreturn]] void raiseErrno(int error) const { raise(QString::fromLocal8Bit(std::strerror(error))); }

private:
    QString m_databasePath;
    QString m_folder;
};

DatabaseHandle open(const QString &path, int flags, const BackupFailure &failure)
{
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    DatabaseHandle handle(db);
    if (rc != SQLITE_OK)
        failure.raise(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    return handle;
}

// The name of the backup with that stamp: Speeches-2026-12-08.csp.
QString nameFor(const QString &databasePath, const QString &stamp)
{
    const QFileInfo database(databasePath);
    const QString suffix = database.suffix();
    return database.completeBaseName() + QLatin1Char('-') + stamp + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
}

bool nameTaken(const QString &path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 || errno != ENOENT;
}

// The folder itself, made private when it is new; one that is a symbolic link, belongs to
// another user or may be written by others is refused.
void prepareFolder(const QString &folder, const BackupFailure &failure)
{
    const QByteArray name = QFile::encodeName(folder);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        failure.raiseErrno(errno);
    struct stat status;
    if (::lstat(name.constData(), &status) != 0)
        failure.raiseErrno(errno);
    if (!S_ISDIR(status.st_mode))
        failure.raise(QStringLiteral("it is not a folder"));
    // Another user's folder, or one others may write in, could hand them the copy or swap it.
    if (status.st_uid != ::geteuid())
        failure.raise(QStringLiteral("the folder belongs to another user"));
    if (status.st_mode & (S_IWGRP | S_IWOTH))
        failure.raise(QStringLiteral("others may write in the folder"));
}

// The name the backup of now takes. The bare date belongs to the day's first backup only: once
// the day has a backup, later ones carry their time, so that a name rotation freed is never taken
// again by a newer backup that would then sort as the day's oldest.
QString freeName(const QString &databasePath, const QString &folder, const QDateTime &now, const BackupFailure &failure)
{
    const QString date = now.date().toString(QStringLiteral("yyyy-MM-dd"));
    const QStringList stamps = LibraryBackup::stampsIn(databasePath, folder);
    const bool dayHasOne = std::any_of(stamps.begin(), stamps.end(), [&](const QString &stamp) { return stamp.startsWith(date); });
    const QString first = QDir(folder).filePath(nameFor(databasePath, date));
    if (!dayHasOne && !nameTaken(first))
        return first;
    const QString later = QDir(folder).filePath(nameFor(databasePath, date + now.time().toString(QStringLiteral("'T'hhmmss"))));
    if (nameTaken(later))
        failure.raise(QStringLiteral("a backup of this moment exists already"));
    return later;
}

// The private file a backup is written into, removed unless it was given its name.
class TemporaryFile
{
public:
    TemporaryFile(const QString &target, const BackupFailure &failure)
    {
        m_fd = NewPrivateFile::createTemporary(target, &m_path);
        if (m_fd < 0)
            failure.raiseErrno(errno);
    }
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_placed)
            ::unlink(m_path.constData());
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    QString path() const { return QFile::decodeName(m_path); }
    // Called once SQLite has let go of the file, so that closing this descriptor drops none of its locks.
    void syncAndPlace(const QString &target, const BackupFailure &failure)
    {
        const bool synced = ::fsync(m_fd) == 0;
        const int syncError = errno;
        ::close(m_fd);
        m_fd = -1;
        if (!synced)
            failure.raiseErrno(syncError);
        const int error = FileMoves::renameWithoutReplacing(path(), target);
        if (error != 0)
            failure.raiseErrno(error);
        m_placed = true;
        FileMoves::syncFolderOf(target);
    }

private:
    QByteArray m_path;
    int m_fd = -1;
    bool m_placed = false;
};

void copyPages(sqlite3 *source, sqlite3 *target, const std::atomic_bool *stop, const BackupFailure &failure)
{
    // The copy is written through to the disk once, whole, when it has been checked.
    sqlite3_exec(target, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    sqlite3_backup *backup = sqlite3_backup_init(target, "main", source, "main");
    if (!backup)
        failure.raise(QString::fromUtf8(sqlite3_errmsg(target)));
    int rc = SQLITE_OK;
    // SQLITE_BUSY ends it too: another program held the database longer than the busy timeout.
    while (rc == SQLITE_OK) {
        if (stop && *stop) {
            sqlite3_backup_finish(backup);
            throw EAbort();
        }
        rc = sqlite3_backup_step(backup, PagesPerStep);
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        failure.raise(QString::fromUtf8(sqlite3_errmsg(target)));
}

// Reads the copy afresh from the disk and asks SQLite whether it is whole.
void checkCopy(const QString &path, const BackupFailure &failure)
{
    const DatabaseHandle copy = open(path, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOFOLLOW, failure);
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(copy.get(), "PRAGMA integrity_check", -1, &statement, nullptr) != SQLITE_OK)
        failure.raise(QStringLiteral("the copy cannot be checked: %1").arg(QString::fromUtf8(sqlite3_errmsg(copy.get()))));
    QStringList problems;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        problems.append(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0))));
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        failure.raise(QStringLiteral("the copy cannot be checked: %1").arg(QString::fromUtf8(sqlite3_errmsg(copy.get()))));
    if (problems != QStringList{QStringLiteral("ok")})
        failure.raise(QStringLiteral("the copy is damaged (%1)").arg(problems.join(QStringLiteral("; "))));
}

} // namespace

namespace LibraryBackup {

QString folderFor(const QString &databasePath)
{
    return QFileInfo(databasePath).absoluteDir().filePath(QStringLiteral("backups"));
}

QString make(const QString &databasePath, const QString &folder, const QDateTime &now, const std::atomic_bool *stop)
{
    const BackupFailure failure(databasePath, folder);
    // Checked before the folder is made, so that a wrong name leaves no empty folder behind.
    if (!QFileInfo::exists(databasePath))
        failure.raise(QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(databasePath)));
    prepareFolder(folder, failure);
    const QString target = freeName(databasePath, folder, now, failure);
    TemporaryFile file(target, failure);
    {
        const DatabaseHandle source = open(databasePath, SQLITE_OPEN_READONLY, failure);
        const DatabaseHandle copy = open(file.path(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, failure);
        copyPages(source.get(), copy.get(), stop, failure);
    }
    checkCopy(file.path(), failure);
    file.syncAndPlace(target, failure);
    return target;
}

QStringList stampsIn(const QString &databasePath, const QString &folder)
{
    const QFileInfo database(databasePath);
    const QString suffix = database.suffix().isEmpty() ? QString() : QLatin1Char('.') + database.suffix();
    static const QRegularExpression stampPattern(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}(T\\d{6})?$"));
    const QString prefix = database.completeBaseName() + QLatin1Char('-');
    QStringList stamps;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::NoSymLinks)) {
        if (!name.startsWith(prefix) || !name.endsWith(suffix))
            continue;
        const QString stamp = name.mid(prefix.size(), name.size() - prefix.size() - suffix.size());
        if (stampPattern.match(stamp).hasMatch())
            stamps.append(stamp);
    }
    return stamps;
}

void rotate(const QString &databasePath, const QString &folder, const BackupRotation &rotation, const QString &made)
{
    const QString spared = QFileInfo(made).fileName();
    for (const QString &stamp : rotation.toRemove(stampsIn(databasePath, folder))) {
        const QString name = nameFor(databasePath, stamp);
        if (name != spared)
            QFile::remove(QDir(folder).filePath(name));
    }
}

QString makeDaily(const QString &databasePath, const BackupRotation &rotation, const QDateTime &now,
                  const std::atomic_bool *stop)
{
    const QString folder = folderFor(databasePath);
    const QString today = now.date().toString(QStringLiteral("yyyy-MM-dd"));
    for (const QString &stamp : stampsIn(databasePath, folder)) {
        if (stamp.startsWith(today))
            return QString();
    }
    const QString made = make(databasePath, folder, now, stop);
    rotate(databasePath, folder, rotation, made);
    return made;
}

QString makeAndRotate(const QString &databasePath, const QString &folder, const BackupRotation &rotation)
{
    const QString made = make(databasePath, folder, QDateTime::currentDateTime());
    rotate(databasePath, folder, rotation, made);
    return made;
}

} // namespace LibraryBackup
