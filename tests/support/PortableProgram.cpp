#include "PortableProgram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString copyPortableProgram(const QString &folder)
{
    const QDir into(folder);
    for (const char *built : {TINLARK_PROGRAM, TINLARK_PROGRAM_WINDOWS}) {
        const QString copy = into.filePath(QFileInfo(QString::fromUtf8(built)).fileName());
        if (!QFile::copy(QString::fromUtf8(built), copy))
            return {};
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return into.filePath(QStringLiteral("tinlark"));
}
