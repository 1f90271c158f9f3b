// tinlark-makedb: makes a speech database file, empty or filled with sample speeches.

#include "EDatabaseError.h"
#include "SampleSpeeches.h"
#include "Schema.h"
#include "Statement.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <sqlite3.h>

namespace {

struct Options
{
    QString file;
    int speeches = 0;
    int languages = 20;
};

void fillSample(const QString &path, const Options &options)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const auto closeDb = qScopeGuard([db] { sqlite3_close_v2(db); });
    // The file is new: if filling it fails it is removed, so it needs no journal meanwhile.
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr);
    const QStringList names = SampleSpeeches::languageNames().mid(0, options.languages);
    Statement addLanguage(db, QStringLiteral("INSERT INTO Taal (Taal) VALUES (?)"));
    for (const QString &name : names)
        addLanguage.execute({name});
    Statement addSpeech(db, QStringLiteral("INSERT INTO Speeches (TaalID, Keywords, Tekst, Comments) VALUES (?, ?, ?, ?)"));
    // Speeches of all languages are interleaved, as they are when a user adds them over time.
    for (int i = 0; i < options.speeches; ++i) {
        const int language = i % int(names.size());
        const int number = i / int(names.size());
        const QString comments = SampleSpeeches::comments(language, number);
        addSpeech.execute({language + 1, SampleSpeeches::keywords(language, number),
                           SampleSpeeches::text(language, number), comments.isEmpty() ? QVariant() : QVariant(comments)});
    }
    if (sqlite3_exec(db, "COMMIT; ANALYZE", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
}

int usage(QTextStream &err)
{
    err << "usage: tinlark-makedb [--sample N] [--languages K] FILE\n"
           "Makes a new speech database FILE; with --sample, N sample speeches over K languages (1-20, default 20).\n"
           "An existing FILE is never overwritten.\n";
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList arguments = app.arguments().mid(1);
    Options options;
    bool ok = true;
    while (!arguments.isEmpty()) {
        const QString argument = arguments.takeFirst();
        if ((argument == QLatin1String("--sample") || argument == QLatin1String("--languages")) && !arguments.isEmpty()) {
            const int value = arguments.takeFirst().toInt(&ok);
            if (!ok || value < 0)
                return usage(err);
            (argument == QLatin1String("--sample") ? options.speeches : options.languages) = value;
        } else if (argument.startsWith(QLatin1String("--")) || !options.file.isEmpty()) {
            return usage(err);
        } else {
            options.file = argument;
        }
    }
    if (options.file.isEmpty() || options.languages < 1 || options.languages > 20)
        return usage(err);
    try {
        Schema::createFile(options.file);
    } catch (const EDatabaseError &error) {
        err << "tinlark-makedb: " << error.message() << "\n";
        return 1;
    }
    if (options.speeches > 0) {
        try {
            fillSample(options.file, options);
        } catch (const EDatabaseError &error) {
            QFile::remove(options.file);
            err << "tinlark-makedb: " << error.message() << "\n";
            return 1;
        }
    }
    return 0;
}
