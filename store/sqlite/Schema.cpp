#include "Schema.h"

#include "EDatabaseError.h"
#include "HistoryTables.h"
#include "KeywordIndex.h"
#include "SqliteWordIndex.h"
#include "NewPrivateFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <sqlite3.h>

namespace {

// IDs are assigned by the database and, with AUTOINCREMENT, never used twice. The text
// limits hold in the file itself too, whatever program writes to it. The first index
// walks one language's speeches in the order of their IDs; the second answers a keyword
// search of one language without reading the speeches themselves.
const char *const SchemaSql = R"sql(
CREATE TABLE Taal (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Taal VARCHAR(%1) CHECK (length(Taal) <= %1)
);
CREATE TABLE Speeches (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  TaalID INTEGER,
  Keywords VARCHAR(%2) CHECK (length(Keywords) <= %2),
  Tekst TEXT,
  Comments TEXT
);
CREATE INDEX TaalByName ON Taal (Taal);
CREATE INDEX SpeechesByTaal ON Speeches (TaalID);
CREATE INDEX SpeechesByTaalKeywords ON Speeches (TaalID, Keywords);
)sql";

} // namespace

namespace Schema {

void create(sqlite3 *db, TextLimits limits)
{
    const QByteArray sql = QString::fromLatin1(SchemaSql).arg(limits.languageName).arg(limits.keywords).toUtf8();
    char *error = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : "unknown error");
        sqlite3_free(error);
        throw EDatabaseError(message);
    }
    KeywordIndex::create(db);
    SqliteWordIndex::create(db);
    HistoryTables::create(db);
}

void createFile(const QString &path)
{
    // An empty file is an empty database. Made here, and only here, so that nothing that has
    // the name already (a planted symlink, dangling or not) is followed or taken over; a
    // speech library is private to its owner.
    int error = 0;
    if (!NewPrivateFile::write(path, QByteArray(), &error))
        throw EDatabaseError(error == EEXIST ? QStringLiteral("%1 already exists; it is left as it is").arg(path)
                                             : QStringLiteral("Cannot create %1: %2")
                                                   .arg(path, QString::fromLocal8Bit(std::strerror(error))));
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
    try {
        if (rc != SQLITE_OK)
            throw EDatabaseError(QStringLiteral("Cannot create %1: %2")
                                     .arg(path, QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory")));
        create(db);
    } catch (...) {
        sqlite3_close(db);
        QFile::remove(path); // the file made above, which holds nothing yet
        throw;
    }
    sqlite3_close(db);
}

} // namespace Schema
