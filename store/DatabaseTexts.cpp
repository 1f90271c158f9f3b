#include "DatabaseTexts.h"

#include "ConnectionString.h"
#include "TextFormat.h"

namespace DatabaseTexts {

QString connectionString(const QString &databasePath)
{
    return formatText(ConnectionStringTemplate,
                      {ConnectionString::quotedDataSource(ConnectionStringTemplate, databasePath)});
}

QString languageFilter(int languageId)
{
    return formatText(LanguageFilterTemplate, {languageId});
}

QString keywordSearch(const QString &searchText, int languageId)
{
    QString literal = searchText;
    literal.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return formatText(KeywordSearchTemplate, {literal, languageId});
}

} // namespace DatabaseTexts
