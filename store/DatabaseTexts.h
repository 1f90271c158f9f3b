#pragma once

#include <QString>

// Every text the program sends to the database, in one place.
namespace DatabaseTexts {

// Connection string; %s is the full path of the database file, inserted as it stands (in
// quotes when a ';' in it would otherwise end it early).
inline const QString ConnectionStringTemplate =
    QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%s;Jet OLEDB:Engine Type=4");
// All speeches; the language filter narrows them to one language.
inline const QString SpeechListCommand = QStringLiteral("select * from Speeches");
// The languages in the order of their names.
inline const QString LanguageListCommand = QStringLiteral("select * from Taal order by Taal");
// Filter of the speech list; %d is the language's ID.
inline const QString LanguageFilterTemplate = QStringLiteral("TaalId = %d");
// Keyword search; %s is the search text, %d the language's ID.
inline const QString KeywordSearchTemplate =
    QStringLiteral("select * from Speeches where Keywords Like \"%%%s%%\" and TaalID = %d");
// How many speeches are filed under a language; the language's ID is bound.
inline const QString SpeechCountOfLanguage = QStringLiteral("select count(*) from \"Speeches\" where \"TaalID\" = ?");
// The field by which a speech is found again.
inline const QString LocateKey = QStringLiteral("ID");

QString connectionString(const QString &databasePath);
QString languageFilter(qint64 languageId);

// The keyword search for searchText within one language. The text stays inside its
// literal whatever it holds: a double quote in it is doubled, which the command reader
// takes back to one quote, so the text is searched for as typed, with '%' and '_' as the
// only wildcards, and never becomes part of the statement.
QString keywordSearch(const QString &searchText, qint64 languageId);

} // namespace DatabaseTexts
