#include "TestDatabase.h"

#include "PostgresDatabase.h"
#include "Schema.h"
#include "SqliteStatement.h"
#include "TestServer.h"

#include <QTest>
#include <sqlite3.h>

TestDatabase::TestDatabase(const QString &path) : m_path(path)
{
    if (TestServer::enabled()) {
        m_serverLibrary = TestServer::newLibrary();
        if (m_serverLibrary.isEmpty())
            qFatal("No server for the test libraries: %s", qPrintable(TestServer::error()));
        TestServer::placeLibrary(path, m_serverLibrary);
        m_server = openPostgresDatabase(m_serverLibrary, nullptr);
        return;
    }
    Schema::createFile(path);
    sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(m_db, 5000);
}

TestDatabase::~TestDatabase()
{
    if (m_db)
        sqlite3_close_v2(m_db);
}

// Runs one statement and gives the first column of its first row, if any.
std::optional<QVariant> TestDatabase::run(const QString &sql, const QVariantList &values)
{
    const std::unique_ptr<DatabaseStatement> statement =
        m_server ? m_server->prepare(TestServer::serverCommand(sql)) : std::make_unique<SqliteStatement>(m_db, sql);
    for (int i = 0; i < values.size(); ++i)
        statement->bind(i + 1, values[i]);
    if (!statement->step() || statement->columnCount() == 0)
        return std::nullopt;
    return statement->columnValue(0);
}

int TestDatabase::addLanguage(const QString &name)
{
    return run(QStringLiteral("INSERT INTO Taal (Taal) VALUES (?) RETURNING ID"), {name}).value_or(QVariant()).toInt();
}

int TestDatabase::addSpeech(int languageId, const QString &keywords, const QString &text, const QString &comments)
{
    return run(QStringLiteral("INSERT INTO Speeches (TaalID, Keywords, Tekst, Comments) VALUES (?, ?, ?, ?) RETURNING ID"),
               {languageId, keywords, text, comments})
        .value_or(QVariant())
        .toInt();
}

int TestDatabase::count(const QString &sql)
{
    const std::optional<QVariant> value = run(sql);
    return value ? value->toInt() : -1;
}

QString TestDatabase::text(const QString &sql)
{
    return run(sql).value_or(QVariant()).toString();
}

void TestDatabase::execute(const QString &sql)
{
    run(sql);
}
