#include "TestDatabase.h"

#include "Schema.h"
#include "SqliteStatement.h"

#include <sqlite3.h>

TestDatabase::TestDatabase(const QString &path) : m_path(path)
{
    Schema::createFile(path);
    sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(m_db, 5000);
}

TestDatabase::~TestDatabase()
{
    sqlite3_close_v2(m_db);
}

int TestDatabase::addLanguage(const QString &name)
{
    SqliteStatement(m_db, QStringLiteral("INSERT INTO Taal (Taal) VALUES (?)")).execute({name});
    return int(sqlite3_last_insert_rowid(m_db));
}

int TestDatabase::addSpeech(int languageId, const QString &keywords, const QString &text, const QString &comments)
{
    SqliteStatement(m_db, QStringLiteral("INSERT INTO Speeches (TaalID, Keywords, Tekst, Comments) VALUES (?, ?, ?, ?)"))
        .execute({languageId, keywords, text, comments});
    return int(sqlite3_last_insert_rowid(m_db));
}

int TestDatabase::count(const QString &sql)
{
    SqliteStatement statement(m_db, sql);
    return statement.step() ? int(statement.columnInt64(0)) : -1;
}

QString TestDatabase::text(const QString &sql)
{
    SqliteStatement statement(m_db, sql);
    return statement.step() ? statement.columnValue(0).toString() : QString();
}

void TestDatabase::execute(const QString &sql)
{
    SqliteStatement(m_db, sql).execute({});
}
