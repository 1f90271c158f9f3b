#pragma once

#include <QStringList>

class IniFile;

// Which backups are kept as they age: the newest of each of the last Daily days that have a
// backup, of each of the last Weekly weeks (Monday to Sunday) and of each of the last Monthly
// months; the newest backup of all is always kept.
struct BackupRotation
{
    int daily = 7;
    int weekly = 4;
    int monthly = 12;

    // The counts in the settings' [Backups] section (Daily=, Weekly=, Monthly=); a missing
    // or unreadable value, or one below 0, keeps its default.
    static BackupRotation read(const IniFile &settings);

    // Of the backups stamped "yyyy-MM-dd" or "yyyy-MM-ddThhmmss" (in any order), those
    // these counts no longer keep. A stamp that is no date is never named.
    QStringList toRemove(const QStringList &stamps) const;
};
