#include "BenchDatabases.h"

#include "SampleDatabase.h"

#include <QDir>
#include <QFileInfo>

namespace BenchDatabases {

QString pathFor(int speeches)
{
    const QString folder = QStringLiteral(TINLARK_BENCH_DATA);
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/speeches-%1.csp").arg(speeches);
    if (!QFileInfo::exists(path)) {
        const QString partial = path + QStringLiteral(".partial");
        QFile::remove(partial);
        SampleDatabase::create(partial, speeches, LanguageCount, SmallLanguageSize);
        QFile::rename(partial, path);
    }
    return path;
}

} // namespace BenchDatabases
