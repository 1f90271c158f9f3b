#pragma once

#include <QByteArray>
#include <QString>

// A statement of the common dialect made ready for the server: each '?' outside string
// literals, quoted names and comments becomes $1, $2 ... in order. A '$n' of the text's own
// outside those is refused, so that no value can be bound where the text did not ask for one.
struct PostgresPlaceholders
{
    QByteArray sql;         // UTF-8, as the server takes it
    int parameterCount = 0; // how many '?' there were

    // Raises EDatabaseError for a text with a parameter of its own or an unclosed literal.
    static PostgresPlaceholders translate(const QString &commonSql);
};
