#include "HistoryTables.h"

#include "EDatabaseError.h"
#include "SqliteStatement.h"
#include "SqliteTransaction.h"

#include <sqlite3.h>

namespace {

// A change of the language alone is a version too, so that a speech whose language was
// deleted can be found again. An update that changes nothing keeps nothing. The time is
// UTC, written the same way on every engine so that it sorts and compares as text.
const char *const CreateSql = R"sql(
CREATE TABLE IF NOT EXISTS SpeechHistory (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  SpeechID INTEGER NOT NULL,
  TaalID INTEGER,
  Keywords TEXT,
  Tekst TEXT,
  Comments TEXT,
  Change TEXT NOT NULL,
  ChangedAt TEXT NOT NULL DEFAULT (strftime('%Y-%m-%d %H:%M:%f', 'now')),
  ChangedBy TEXT
);
CREATE INDEX IF NOT EXISTS SpeechHistoryBySpeech ON SpeechHistory (SpeechID, ID);
CREATE INDEX IF NOT EXISTS SpeechHistoryDeletes ON SpeechHistory (ChangedAt) WHERE Change = 'delete';
CREATE TABLE IF NOT EXISTS TinlarkHistoryLimit (Versions INTEGER NOT NULL);
INSERT INTO TinlarkHistoryLimit (Versions) SELECT 20 WHERE NOT EXISTS (SELECT 1 FROM TinlarkHistoryLimit);
DROP TRIGGER IF EXISTS TinlarkHistoryEdit;
DROP TRIGGER IF EXISTS TinlarkHistoryDelete;
CREATE TRIGGER TinlarkHistoryEdit AFTER UPDATE ON Speeches
  WHEN old.ID IS NOT new.ID OR old.TaalID IS NOT new.TaalID OR old.Keywords IS NOT new.Keywords
    OR old.Tekst IS NOT new.Tekst OR old.Comments IS NOT new.Comments BEGIN
  INSERT INTO SpeechHistory (SpeechID, TaalID, Keywords, Tekst, Comments, Change)
    VALUES (old.ID, old.TaalID, old.Keywords, old.Tekst, old.Comments, 'edit');
  DELETE FROM SpeechHistory WHERE SpeechID = old.ID AND ID <= (SELECT h.ID FROM SpeechHistory h
    WHERE h.SpeechID = old.ID ORDER BY h.ID DESC
    LIMIT 1 OFFSET coalesce((SELECT max(Versions) FROM TinlarkHistoryLimit), 20));
END;
CREATE TRIGGER TinlarkHistoryDelete AFTER DELETE ON Speeches BEGIN
  INSERT INTO SpeechHistory (SpeechID, TaalID, Keywords, Tekst, Comments, Change)
    VALUES (old.ID, old.TaalID, old.Keywords, old.Tekst, old.Comments, 'delete');
END;
)sql";

} // namespace

namespace HistoryTables {

void create(sqlite3 *db)
{
    char *error = nullptr;
    if (sqlite3_exec(db, CreateSql, nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(db));
        sqlite3_free(error);
        throw EDatabaseError(message);
    }
}

void ensure(sqlite3 *db)
{
    try {
        {
            SqliteStatement present(db, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN "
                                                       "('SpeechHistory', 'TinlarkHistoryEdit', 'TinlarkHistoryDelete')"));
            if ((present.step() && present.columnInt64(0) == 3) || sqlite3_db_readonly(db, "main") == 1)
                return;
        }
        // Made anew where a part of it is missing; versions already kept stay.
        SqliteTransaction transaction(db);
        create(db);
        transaction.commit();
    } catch (const EDatabaseError &) {
        // Another program holds the file, or it cannot be written: no history this time.
    }
}

} // namespace HistoryTables
