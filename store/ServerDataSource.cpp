#include "ServerDataSource.h"

#include <QRegularExpression>

bool isServerDataSource(const QString &dataSource)
{
    // A file path only looks like this when someone names a file "host=...", which the
    // program never makes; the keywords are the ones a server's connection string starts with.
    static const QRegularExpression server(
        QStringLiteral("^\\s*(?:postgres(?:ql)?://|(?:host|hostaddr|port|dbname|user|password|passfile|service"
                       "|connect_timeout|sslmode|application_name|options)\\s*=)"),
        QRegularExpression::CaseInsensitiveOption);
    return server.match(dataSource).hasMatch();
}
