#include "BackupCommand.h"

#include "EDatabaseError.h"
#include "FileLocations.h"
#include "IniFile.h"
#include "LibraryBackup.h"
#include "ServerDataSource.h"

#include <QCoreApplication>
#include <QDir>

QString backUpAndRotate(const QString &file, const QString &folder)
{
    // Kept as the program keeps its own backups: the same settings file.
    const FileLocations locations(QCoreApplication::applicationDirPath());
    const BackupRotation rotation = BackupRotation::read(IniFile(locations.settingsPath()));
    return LibraryBackup::makeAndRotate(file, folder, rotation);
}

int backupCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const QString &file = arguments[0];
    // The argument itself is never echoed: it may hold a password.
    if (isServerDataSource(file) || looksLikeServerDataSource(file)) {
        err << "tinlark-makedb: --backup takes a library file; back up a server library with pg_dump\n";
        return 2;
    }
    try {
        const QString made = backUpAndRotate(file, arguments[1]);
        out << "Backed up " << file << " into " << QDir::toNativeSeparators(made) << "\n";
    } catch (const EDatabaseError &error) {
        err << "tinlark-makedb: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
