#include "ServerDataSource.h"

#include <QRegularExpression>
#include <cstring>
#include <libpq-fe.h>

namespace {

// libpq reads a URI or keyword=value pairs; anything else (a file name) is not asked, so that
// opening a library file does not load it.
bool mayNameAServer(const QString &dataSource)
{
    return dataSource.contains(QLatin1Char('=')) || dataSource.contains(QStringLiteral("://"));
}

} // namespace

bool isServerDataSource(const QString &dataSource)
{
    // An empty keyword string is one too, but names nothing.
    if (dataSource.trimmed().isEmpty())
        return false;
    if (!mayNameAServer(dataSource))
        return false;
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(dataSource.toUtf8().constData(), &error);
    const bool read = options != nullptr;
    PQfreemem(error);
    PQconninfoFree(options);
    return read;
}

bool looksLikeServerDataSource(const QString &dataSource)
{
    static const QRegularExpression server(
        QStringLiteral("^\\s*(?:postgres(?:ql)?://|(?:host|hostaddr|port|dbname|user|password|passfile|service"
                       "|connect_timeout|sslmode|sslrootcert|channel_binding|application_name|options)\\s*=)"),
        QRegularExpression::CaseInsensitiveOption);
    // Both forms need a "://" or an '=': a file name is told apart without the pattern.
    return mayNameAServer(dataSource) && (isServerDataSource(dataSource) || server.match(dataSource).hasMatch());
}

QString withoutPassword(const QString &dataSource)
{
    if (!mayNameAServer(dataSource))
        return dataSource;
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(dataSource.toUtf8().constData(), &error);
    PQfreemem(error);
    QStringList settings;
    bool hadPassword = false;
    // Only what the string itself names has a value here: no defaults, no environment.
    for (PQconninfoOption *o = options; o && o->keyword; ++o) {
        if (!o->val)
            continue;
        // libpq marks every secret option ("*"): password, sslpassword, and any it adds.
        if (o->dispchar && std::strchr(o->dispchar, '*')) {
            hadPassword = true;
            continue;
        }
        QString value = QString::fromUtf8(o->val);
        value.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
        settings.append(QStringLiteral("%1='%2'").arg(QString::fromUtf8(o->keyword), value));
    }
    PQconninfoFree(options);
    return hadPassword ? settings.join(QLatin1Char(' ')) : dataSource;
}

QString unreadableServerDataSource()
{
    return QStringLiteral("The data source reads like a PostgreSQL connection string, but PostgreSQL cannot read "
                          "it (a value with spaces needs single quotes: password='two words'); it is not "
                          "repeated here, as it may hold a password");
}
