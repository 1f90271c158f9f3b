#include "DatabaseTexts.h"

#include "ConnectionString.h"
#include "TextFormat.h"

namespace DatabaseTexts {

QString connectionString(const QString &databasePath)
{
    return formatText(ConnectionStringTemplate,
                      {ConnectionString::quotedDataSource(ConnectionStringTemplate, databasePath)});
}

QString languageFilter(qint64 languageId)
{
    return formatText(LanguageFilterTemplate, {languageId});
}

QString keywordSearch(const QString &searchText, qint64 languageId)
{
    QString literal = searchText;
    literal.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return formatText(KeywordSearchTemplate, {literal, languageId});
}

} // namespace DatabaseTexts
