#pragma once

#include <QString>
#include <QVariantList>

// A command text of the Jet dialect made ready for the database: every string literal, in
// single or double quotes, becomes a bound value, so that no literal's content can ever
// be read as SQL. Like compares without regard to letter case, and ORDER BY sorts text
// alphabetically (each term is followed by the database's text order clause).
struct SqlCommand
{
    QString sql;          // SQL text with a '?' for each literal
    QVariantList values;  // the literals, in order
    QString baseTable;    // the table named after the first FROM
    bool ordered = false; // the command has its own ORDER BY
    bool selective = false; // the command has its own WHERE

    // Raises EDatabaseError for a text that is no single-table select.
    // textOrderClause follows each ORDER BY term (see Database::textOrderClause).
    static SqlCommand fromJet(const QString &commandText, const QString &textOrderClause);
};
