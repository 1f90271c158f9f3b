#include "FileCopyTarget.h"

#include "EDatabaseError.h"
#include "Schema.h"
#include "SqliteDatabase.h"
#include "Statement.h"

#include <QDir>
#include <QFile>

FileCopyTarget::FileCopyTarget(const QString &path, Schema::TextLimits limits) : m_path(path)
{
    // An empty file is an empty SQLite database; creating it only when it does not exist
    // keeps a file that appears meanwhile from being taken over (a planted symlink included);
    // a speech library is private to its owner.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner))
        throw EDatabaseError(file.exists() ? QStringLiteral("%1 already exists; it is left as it is").arg(describe())
                                           : QStringLiteral("Cannot create %1: %2").arg(describe(), file.errorString()));
    file.close();
    try {
        m_database = std::make_unique<SqliteDatabase>(path, nullptr);
        m_database->begin();
        Schema::create(m_database->handle(), limits);
    } catch (...) {
        abandon();
        throw;
    }
}

FileCopyTarget::~FileCopyTarget()
{
    abandon();
}

Database &FileCopyTarget::database()
{
    return *m_database;
}

void FileCopyTarget::continueIds(qint64 lastLanguageId, qint64 lastSpeechId)
{
    // SQLite notes the highest ID stored; an ID the source gave out before is never given again.
    Statement add(m_database.get(), QStringLiteral("INSERT INTO sqlite_sequence (name, seq) SELECT ?1, ?2 "
                                                   "WHERE NOT EXISTS (SELECT 1 FROM sqlite_sequence WHERE name = ?1)"));
    Statement raise(m_database.get(), QStringLiteral("UPDATE sqlite_sequence SET seq = ?2 WHERE name = ?1 AND seq < ?2"));
    for (const auto &[table, last] : {std::pair{QStringLiteral("Taal"), lastLanguageId}, std::pair{QStringLiteral("Speeches"), lastSpeechId}}) {
        add.execute({table, last});
        raise.execute({table, last});
    }
}

void FileCopyTarget::commit()
{
    m_database->commit();
    m_finished = true;
}

void FileCopyTarget::abandon() noexcept
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_database)
        m_database->rollback();
    m_database.reset();
    QFile::remove(m_path);
}

QString FileCopyTarget::describe() const
{
    return QDir::toNativeSeparators(m_path);
}
