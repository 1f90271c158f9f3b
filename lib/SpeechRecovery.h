#pragma once

#include <QString>
#include <QStringList>

// The text of a speech that the database refused while the program was being ended: kept in
// a file of its own where the user finds it, and named again at every start until the user
// has taken it back and deleted the file.
namespace SpeechRecovery {

struct Speech
{
    qint64 id = 0; // 0 for a new speech
    QString language;
    QString keywords;
    QString text;
    QString comments;
};

// Writes the speech into a new file beside the database or, when that folder cannot take
// it (a full disk, a read-only folder), into fallbackFolder. Returns the file's path, or
// an empty text when neither could be written.
QString keep(const QString &databasePath, const QString &fallbackFolder, const Speech &speech, const QString &reason);

// The files kept for that database, in both places.
QStringList find(const QString &databasePath, const QString &fallbackFolder);

// What the recovery file holds, in words for a person.
QString describe(const QString &databasePath, const Speech &speech, const QString &reason);

} // namespace SpeechRecovery
