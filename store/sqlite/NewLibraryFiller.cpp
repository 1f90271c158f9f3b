#include "NewLibraryFiller.h"

#include "EDatabaseError.h"
#include "KeywordIndex.h"
#include "SqliteStatement.h"
#include "SqliteWordIndex.h"

#include <optional>
#include <sqlite3.h>

struct NewLibraryFiller::OpenFile
{
    sqlite3 *db = nullptr;
    std::optional<SqliteStatement> addLanguage;
    std::optional<SqliteStatement> addSpeech;

    ~OpenFile()
    {
        addLanguage.reset();
        addSpeech.reset();
        sqlite3_close_v2(db); // a transaction still open is rolled back
    }

    void execute(const char *sql)
    {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
    }
};

NewLibraryFiller::NewLibraryFiller(const QString &path) : m_file(std::make_unique<OpenFile>())
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_file->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr)
        != SQLITE_OK)
        throw EDatabaseError(QStringLiteral("Cannot open %1: %2")
                                 .arg(path, QString::fromUtf8(m_file->db ? sqlite3_errmsg(m_file->db) : "out of memory")));
    // The file is new: if filling it fails it is removed, so it needs no journal meanwhile.
    m_file->execute("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN");
    m_file->addLanguage.emplace(m_file->db, QStringLiteral("INSERT INTO Taal (Taal) VALUES (?)"));
    m_file->addSpeech.emplace(m_file->db,
                              QStringLiteral("INSERT INTO Speeches (TaalID, Keywords, Tekst, Comments) VALUES (?, ?, ?, ?)"));
}

NewLibraryFiller::~NewLibraryFiller() = default;

void NewLibraryFiller::addLanguage(const QString &name)
{
    m_file->addLanguage->execute({name});
}

void NewLibraryFiller::addSpeech(qint64 languageId, const QString &keywords, const QString &text, const QVariant &comments)
{
    m_file->addSpeech->execute({languageId, keywords, text, comments});
}

void NewLibraryFiller::finish()
{
    KeywordIndex::catchUp(m_file->db);
    SqliteWordIndex::catchUp(m_file->db);
    m_file->execute("COMMIT; ANALYZE");
}
