#include "BenchDatabases.h"

#include "SampleDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace BenchDatabases {

namespace {

// The largest samples take minutes and gigabytes to make: they are kept outside the build
// (TINLARK_BENCH_CACHE, or the user's cache folder) so that a fresh build finds them.
QString folderFor(int speeches)
{
    if (speeches <= SingleLanguageSize)
        return QStringLiteral(TINLARK_BENCH_DATA);
    const QString cache = qEnvironmentVariable("TINLARK_BENCH_CACHE");
    return cache.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                                 + QStringLiteral("/tinlark-bench")
                           : cache;
}

} // namespace

QString pathFor(int speeches, int languages)
{
    const QString folder = folderFor(speeches);
    QDir().mkpath(folder);
    const bool singleLanguage = languages == SingleLanguageLanguages;
    const QString path = folder
                         + (singleLanguage ? QStringLiteral("/speeches-%1-one-language.csp")
                                           : QStringLiteral("/speeches-%1.csp"))
                               .arg(speeches);
    if (!QFileInfo::exists(path)) {
        const QString partial = path + QStringLiteral(".partial");
        QFile::remove(partial);
        SampleDatabase::create(partial, singleLanguage ? speeches + SmallLanguageSize : speeches, languages,
                               SmallLanguageSize);
        QFile::rename(partial, path);
    }
    return path;
}

} // namespace BenchDatabases
