#include "SampleDatabase.h"

#include "EDatabaseError.h"
#include "KeywordIndex.h"
#include "SampleSpeeches.h"
#include "Schema.h"
#include "SqliteStatement.h"
#include "SqliteWordIndex.h"

#include <QFile>
#include <QScopeGuard>
#include <sqlite3.h>

namespace {

void fill(sqlite3 *db, int speeches, int languages, int smallLanguageSize)
{
    // The file is new: if filling it fails it is removed, so it needs no journal meanwhile.
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    const QStringList names = SampleSpeeches::languageNames().mid(0, languages);
    SqliteStatement addLanguage(db, QStringLiteral("INSERT INTO Taal (Taal) VALUES (?)"));
    for (const QString &name : names)
        addLanguage.execute({name});
    SqliteStatement addSpeech(db, QStringLiteral("INSERT INTO Speeches (TaalID, Keywords, Tekst, Comments) VALUES (?, ?, ?, ?)"));
    const int shared = smallLanguageSize > 0 ? int(names.size()) - 1 : int(names.size());
    const int small = smallLanguageSize > 0 ? std::min(smallLanguageSize, speeches) : 0;
    // The small language's speeches are spread evenly through the others'.
    const int spacing = small > 0 ? std::max(1, speeches / small) : 0;
    int smallDone = 0;
    int sharedDone = 0;
    for (int i = 0; i < speeches; ++i) {
        const bool inSmall = small > 0 && smallDone < small && (i % spacing == 0 || speeches - i <= small - smallDone);
        const int language = inSmall ? int(names.size()) - 1 : (shared > 0 ? sharedDone % shared : 0);
        const int number = inSmall ? smallDone++ : sharedDone++ / std::max(shared, 1);
        const QString comments = SampleSpeeches::comments(language, number);
        addSpeech.execute({language + 1, SampleSpeeches::keywords(language, number), SampleSpeeches::text(language, number),
                           comments.isEmpty() ? QVariant() : QVariant(comments)});
    }
    KeywordIndex::catchUp(db);
    SqliteWordIndex::catchUp(db);
    if (sqlite3_exec(db, "COMMIT; ANALYZE", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
}

} // namespace

namespace SampleDatabase {

void create(const QString &path, int speeches, int languages, int smallLanguageSize)
{
    Schema::createFile(path);
    if (speeches <= 0 && languages <= 0)
        return;
    try {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        const auto closeDb = qScopeGuard([db] { sqlite3_close_v2(db); });
        fill(db, speeches, languages, smallLanguageSize);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

} // namespace SampleDatabase
