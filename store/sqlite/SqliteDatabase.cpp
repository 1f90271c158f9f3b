#include "SqliteDatabase.h"

#include "DatabaseErrorText.h"
#include "EDatabaseError.h"
#include "HistoryTables.h"
#include "KeywordIndex.h"
#include "KeywordIndexBuild.h"
#include "LikeFunction.h"
#include "SqliteStatement.h"
#include "SqliteWordIndex.h"
#include "SqliteTransaction.h"
#include "TextCollation.h"
#include "WriteAccess.h"

#include <QFileInfo>
#include <sqlite3.h>

namespace {

// How long the busy handler sleeps between two tries.
constexpr int BusyPollMs = 20;

} // namespace

SqliteDatabase::SqliteDatabase(const QString &path, std::function<void()> onBusy)
    : m_path(path), m_onBusy(std::move(onBusy))
{
    if (!QFileInfo(path).isFile())
        throw EDatabaseError(QStringLiteral("Cannot open the database \"%1\": no such file").arg(path));

    // Read-write without create: the program never makes a database file.
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    try {
        if (rc != SQLITE_OK)
            throw EDatabaseError(QStringLiteral("Cannot open the database \"%1\": %2").arg(path, databaseErrorText(m_db)));
        // The file comes from outside: its schema may not run functions with side effects,
        // and nothing may write to the file except through ordinary statements.
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_busy_handler(m_db, &SqliteDatabase::busyHandler, this);
        execute("PRAGMA synchronous=FULL");
        // Reading the schema now tells a file that is no database from one that is.
        execute("SELECT count(*) FROM sqlite_master");
        registerLikeFunction(m_db);
        TextCollation::install(m_db);
        // A file from an earlier build gets its keyword index, filled in the background
        // (backgroundWork); one that cannot be written is searched without it.
        KeywordIndex::ensure(m_db);
        // And its history of versions, where it can be written.
        HistoryTables::ensure(m_db);
        // And an empty word index, which the window builds in batches.
        SqliteWordIndex::ensure(m_db);
        m_wordIndex = std::make_unique<SqliteWordIndex>(m_db);
    } catch (const EDatabaseError &error) {
        sqlite3_close_v2(m_db);
        if (error.message().contains(path))
            throw;
        throw EDatabaseError(QStringLiteral("Cannot open the database \"%1\": %2").arg(path, error.message()));
    }
    m_readOnlyReason = whyDatabaseNotWritable(path, sqlite3_db_readonly(m_db, "main") == 1);
}

SqliteDatabase::~SqliteDatabase()
{
    sqlite3_close_v2(m_db);
}

void SqliteDatabase::execute(const char *sql)
{
    if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw EDatabaseError(databaseErrorText(m_db));
}

// Waits for another program that holds the file, telling onBusy once the wait has lasted one
// poll (a wait for another connection's short commit, such as a batch of the keyword index
// built in the background, passes without a sign), and gives up after the busy timeout.
int SqliteDatabase::busyHandler(void *database, int attempts)
{
    auto *self = static_cast<SqliteDatabase *>(database);
    if (attempts == 0)
        self->m_busySince.start();
    if (attempts == 1) {
        try {
            if (self->m_onBusy)
                self->m_onBusy();
        } catch (...) {
            // Only a sign of the wait: nothing may unwind through SQLite.
        }
    }
    if (self->m_busySince.elapsed() >= DatabaseBusyTimeoutMs)
        return 0;
    sqlite3_sleep(BusyPollMs);
    return 1;
}

std::unique_ptr<DatabaseStatement> SqliteDatabase::prepare(const QString &sql)
{
    return std::make_unique<SqliteStatement>(m_db, sql);
}

void SqliteDatabase::begin()
{
    SqliteTransaction::begin(m_db);
}

void SqliteDatabase::commit()
{
    SqliteTransaction::commit(m_db);
}

void SqliteDatabase::rollback() noexcept
{
    SqliteTransaction::rollback(m_db);
}

QList<TableColumn> SqliteDatabase::tableColumns(const QString &table)
{
    QList<TableColumn> columns;
    SqliteStatement tableInfo(m_db, QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
    tableInfo.bind(1, table);
    while (tableInfo.step())
        columns.append({tableInfo.columnValue(0).toString(), declaredSize(tableInfo.columnValue(1).toString())});
    return columns;
}

// Read by hand: a regular expression would be compiled at start-up, when the window's record
// sets learn their columns' sizes.
int SqliteDatabase::declaredSize(const QString &declaredType)
{
    qsizetype at = 0;
    const auto skip = [&](auto belongs) {
        const qsizetype from = at;
        while (at < declaredType.size() && belongs(declaredType[at]))
            ++at;
        return at > from;
    };
    const auto isSpace = [](QChar c) { return c.isSpace(); };
    const auto expect = [&](char16_t c) { return at < declaredType.size() && declaredType[at++] == c; };
    skip(isSpace);
    if (!skip([](QChar c) { return c.isLetterOrNumber() || c == u'_'; }))
        return 0;
    skip(isSpace);
    if (!expect(u'('))
        return 0;
    skip(isSpace);
    const qsizetype digits = at;
    if (!skip([](QChar c) { return c >= u'0' && c <= u'9'; }))
        return 0;
    const int size = QStringView(declaredType).mid(digits, at - digits).toInt();
    skip(isSpace);
    return expect(u')') ? size : 0;
}

QString SqliteDatabase::sameValueCondition(const QString &quotedColumn) const
{
    return quotedColumn + QStringLiteral(" IS ?");
}

// A text and a BLOB of the same bytes are the same stored value here.
QString SqliteDatabase::sameBytesCondition(const QString &quotedColumn) const
{
    return QStringLiteral("CAST(%1 AS BLOB) IS ?").arg(quotedColumn);
}

QString SqliteDatabase::textOrderClause() const
{
    return QStringLiteral("COLLATE %1").arg(QLatin1String(TextCollation::Name));
}

QString SqliteDatabase::noteCopyCommand()
{
    // UTC, written the same way on every engine so that it sorts as text.
    return QStringLiteral("INSERT INTO SpeechCopies (SpeechID, Copies, LastCopied) "
                          "SELECT ID, 1, strftime('%Y-%m-%d %H:%M:%f', 'now') FROM Speeches WHERE ID = ? "
                          "ON CONFLICT (SpeechID) DO UPDATE SET Copies = SpeechCopies.Copies + 1, "
                          "LastCopied = excluded.LastCopied");
}

std::optional<std::vector<qint64>> SqliteDatabase::findKeywords(const SqlCommand &command)
{
    return KeywordIndex::find(m_db, command);
}

std::unique_ptr<BatchedJob> SqliteDatabase::backgroundWork()
{
    if (!m_readOnlyReason.isEmpty() || !KeywordIndex::buildPosition(m_db))
        return {};
    return std::make_unique<KeywordIndexBuild>(m_path);
}
