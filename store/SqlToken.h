#pragma once

#include <QString>
#include <QList>

// One piece of an SQL or filter text in the Jet dialect.
struct SqlToken
{
    enum Kind { Identifier, Number, String, Symbol };

    Kind kind;
    QString text; // identifiers without their brackets, strings without quotes, symbols as written
    bool bracketed = false; // an identifier written in brackets, never a keyword

    bool isKeyword(const char *keyword) const
    {
        return kind == Identifier && !bracketed && text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const char *symbol) const { return kind == Symbol && text == QLatin1String(symbol); }
};

// Splits text into tokens. String literals may be enclosed in single or double quotes, a
// doubled quote standing for one; identifiers may be enclosed in brackets. Raises
// EDatabaseError for an unterminated literal or bracket.
QList<SqlToken> tokenizeSql(const QString &text);

// An identifier as SQLite reads it, whatever characters it holds.
QString quoteIdentifier(const QString &name);
