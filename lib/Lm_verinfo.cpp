#include "Lm_verinfo.h"

#include "StrToInt.h"

QString LongVersionToString(const TLongVersion &Version)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(Version.parts[1])
        .arg(Version.parts[0])
        .arg(Version.parts[3])
        .arg(Version.parts[2]);
}

TLongVersion StringToLongVersion(const QString &Text)
{
    QString rest = Text;
    quint16 numbers[4];
    for (quint16 &number : numbers) {
        qsizetype separator = rest.indexOf(QLatin1Char('.'));
        if (separator < 0)
            separator = rest.indexOf(QLatin1Char(','));
        QString fragment = rest;
        if (separator >= 0) {
            fragment = rest.left(separator);
            rest = rest.mid(separator + 1);
        }
        number = fragment.isEmpty() ? 0 : quint16(strToInt(fragment));
    }
    return TLongVersion{{numbers[1], numbers[0], numbers[3], numbers[2]}};
}

bool OkToWriteModule(const QString &ModuleName, qint32 VersionNum)
{
    const TVersionInfo module(ModuleName);
    return !module.FHasInfo || VersionNum > module.GetVersionNum();
}
