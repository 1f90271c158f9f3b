#include "TransferFormat.h"

#include <QFileInfo>

std::optional<TransferFormat> transferFormatOfWord(const QString &word)
{
    if (word.compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return TransferFormat::Csv;
    if (word.compare(QLatin1String("json"), Qt::CaseInsensitive) == 0)
        return TransferFormat::Json;
    return std::nullopt;
}

std::optional<TransferFormat> transferFormatOfName(const QString &path)
{
    return transferFormatOfWord(QFileInfo(path).suffix());
}
