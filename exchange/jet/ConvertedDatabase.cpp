#include "ConvertedDatabase.h"

#include "EDatabaseError.h"
#include "JetTableLayout.h"
#include "SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <sqlite3.h>

struct ConvertedDatabase::Private
{
    QString shownPath;
    sqlite3 *db = nullptr;
    bool inTransaction = false;
    QHash<QString, std::shared_ptr<SqliteStatement>> statements;

    ~Private()
    {
        statements.clear(); // finalized before the connection closes
        if (inTransaction)
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
};

namespace {

QString placeholders(int count)
{
    QStringList marks;
    for (int i = 0; i < count; ++i)
        marks.append(QStringLiteral("?"));
    return marks.join(QStringLiteral(", "));
}

} // namespace

ConvertedDatabase::ConvertedDatabase(const QString &path, const QString &shownPath, int flags)
    : d(std::make_unique<Private>())
{
    d->shownPath = shownPath;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &d->db, flags, nullptr) != SQLITE_OK)
        fail(QString::fromUtf8(d->db ? sqlite3_errmsg(d->db) : "out of memory"));
}

ConvertedDatabase::ConvertedDatabase(ConvertedDatabase &&) noexcept = default;
ConvertedDatabase::~ConvertedDatabase() = default;

ConvertedDatabase ConvertedDatabase::create(const QString &path, const QString &shownPath, Schema::TextLimits limits)
{
    ConvertedDatabase database(path, shownPath, SQLITE_OPEN_READWRITE);
    // The file is new and private until it is renamed into place: a failure removes it
    // whole, so it needs no journal; the commit still goes through to the disk.
    if (sqlite3_exec(database.d->db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=FULL; BEGIN", nullptr, nullptr,
                     nullptr)
        != SQLITE_OK)
        database.fail(QString::fromUtf8(sqlite3_errmsg(database.d->db)));
    database.d->inTransaction = true;
    try {
        Schema::create(database.d->db, limits);
    } catch (const EDatabaseError &error) {
        database.fail(error.message());
    }
    return database;
}

ConvertedDatabase ConvertedDatabase::open(const QString &path, const QString &shownPath)
{
    return ConvertedDatabase(path, shownPath, SQLITE_OPEN_READONLY);
}

SqliteStatement &ConvertedDatabase::statement(const QString &sql)
{
    auto found = d->statements.find(sql);
    if (found == d->statements.end())
        found = d->statements.insert(sql, std::make_shared<SqliteStatement>(d->db, sql));
    return **found;
}

void ConvertedDatabase::insert(const JetTableLayout &table, const QVariantList &row)
{
    // The table and column names are the program's own, never the file's.
    try {
        statement(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(table.name, table.columnNames().join(QStringLiteral(", ")), placeholders(row.size())))
            .execute(row);
    } catch (const EDatabaseError &error) {
        fail(QStringLiteral("cannot take the row of %1 with ID %2 (%3)")
                 .arg(table.name)
                 .arg(row.value(0).toLongLong())
                 .arg(error.message()));
    }
}

void ConvertedDatabase::continueNumbering(const JetTableLayout &table, qint64 lastUsed)
{
    try {
        statement(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT ?1, ?2 "
                                 "WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = ?1)"))
            .execute({table.name, lastUsed});
        statement(QStringLiteral("UPDATE sqlite_sequence SET seq = ?2 WHERE name = ?1 AND seq < ?2"))
            .execute({table.name, lastUsed});
    } catch (const EDatabaseError &error) {
        fail(error.message());
    }
}

void ConvertedDatabase::commit()
{
    d->statements.clear();
    if (sqlite3_exec(d->db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(QString::fromUtf8(sqlite3_errmsg(d->db)));
    d->inTransaction = false;
    if (sqlite3_close(d->db) != SQLITE_OK)
        fail(QString::fromUtf8(sqlite3_errmsg(d->db)));
    d->db = nullptr;
}

std::optional<QVariantList> ConvertedDatabase::row(const JetTableLayout &table, qint64 id)
{
    SqliteStatement &select = statement(QStringLiteral("SELECT %1 FROM %2 WHERE ID = ?")
                                      .arg(table.columnNames().join(QStringLiteral(", ")), table.name));
    select.bind(1, id);
    std::optional<QVariantList> found;
    if (select.step()) {
        found.emplace();
        for (int column = 0; column < select.columnCount(); ++column)
            found->append(select.columnValue(column));
    }
    select.reset();
    return found;
}

qint64 ConvertedDatabase::rowCount(const JetTableLayout &table)
{
    SqliteStatement &count = statement(QStringLiteral("SELECT count(*) FROM %1").arg(table.name));
    count.step();
    const qint64 rows = count.columnInt64(0);
    count.reset();
    return rows;
}

// The ID the next row of the table gets: one after the highest ever given out.
qint64 ConvertedDatabase::nextId(const JetTableLayout &table)
{
    SqliteStatement &sequence = statement(QStringLiteral("SELECT coalesce((SELECT seq FROM sqlite_sequence WHERE name = ?), 0) + 1"));
    sequence.bind(1, table.name);
    sequence.step();
    const qint64 next = sequence.columnInt64(0);
    sequence.reset();
    return next;
}

void ConvertedDatabase::fail(const QString &what) const
{
    throw EDatabaseError(QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(d->shownPath), what));
}
