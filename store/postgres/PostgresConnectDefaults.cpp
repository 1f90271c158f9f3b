#include "PostgresConnectDefaults.h"

#include <QList>
#include <libpq-fe.h>

namespace {

// Seconds to wait for a server to answer before saying it cannot be reached.
const QByteArray ConnectTimeoutSeconds = "10";

QByteArray valueOf(PQconninfoOption *options, const char *keyword)
{
    for (PQconninfoOption *o = options; o && o->keyword; ++o) {
        if (qstrcmp(o->keyword, keyword) == 0 && o->val)
            return QByteArray(o->val);
    }
    return QByteArray();
}

// What the string says, or else the environment, as libpq itself would take it.
QByteArray setting(PQconninfoOption *options, const char *keyword, const char *variable)
{
    const QByteArray value = valueOf(options, keyword);
    return value.isEmpty() ? qgetenv(variable) : value;
}

} // namespace

namespace PostgresConnectDefaults {

bool overNetwork(const QByteArray &host, const QByteArray &hostaddr)
{
    if (!hostaddr.trimmed().isEmpty())
        return true;
    // An empty entry is the default socket folder; '@' starts an abstract socket's name.
    for (const QByteArray &entry : host.split(',')) {
        const QByteArray name = entry.trimmed();
        if (!name.isEmpty() && !name.startsWith('/') && !name.startsWith('@'))
            return true;
    }
    return false;
}

Settings forDataSource(const QByteArray &dataSource)
{
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(dataSource.constData(), &error);
    PQfreemem(error);
    Settings settings;
    if (setting(options, "connect_timeout", "PGCONNECT_TIMEOUT").isEmpty())
        settings.emplace_back("connect_timeout", ConnectTimeoutSeconds);
    // A service file may name its own; the string and the environment name none here.
    const bool ownService = !setting(options, "service", "PGSERVICE").isEmpty();
    if (!ownService && overNetwork(setting(options, "host", "PGHOST"), setting(options, "hostaddr", "PGHOSTADDR"))) {
        if (setting(options, "sslmode", "PGSSLMODE").isEmpty() && valueOf(options, "requiressl").isEmpty())
            settings.emplace_back("sslmode", "verify-full");
        if (setting(options, "channel_binding", "PGCHANNELBINDING").isEmpty())
            settings.emplace_back("channel_binding", "require");
    }
    PQconninfoFree(options);
    return settings;
}

} // namespace PostgresConnectDefaults
