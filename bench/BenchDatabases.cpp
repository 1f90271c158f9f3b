#include "BenchDatabases.h"

#include "SampleDatabase.h"

#include <QDir>
#include <QFileInfo>

namespace BenchDatabases {

QString pathFor(int speeches, int languages)
{
    const QString folder = QStringLiteral(TINLARK_BENCH_DATA);
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
