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

// libpq's own default for a keyword (or the environment's), before any string or service.
QByteArray builtInDefault(const char *keyword)
{
    PQconninfoOption *defaults = PQconndefaults();
    const QByteArray value = valueOf(defaults, keyword);
    PQconninfoFree(defaults);
    return value;
}

// A value the expanded options hold that libpq would not have taken by itself: the service's.
bool serviceChose(const PostgresConnectDefaults::Settings &expanded, const char *keyword)
{
    for (const auto &[name, value] : expanded) {
        if (name == keyword)
            return value != builtInDefault(keyword);
    }
    return false;
}

} // namespace

namespace PostgresConnectDefaults {

QByteArray valueIn(const Settings &settings, const char *keyword)
{
    for (const auto &[name, value] : settings) {
        if (name == keyword)
            return value;
    }
    return QByteArray();
}

Settings serviceExpanded(const QByteArray &dataSource)
{
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(dataSource.constData(), &error);
    PQfreemem(error);
    const bool service = !setting(options, "service", "PGSERVICE").isEmpty();
    PQconninfoFree(options);
    Settings expanded;
    if (!service)
        return expanded;
    // libpq reads the service file when a connection starts; one started without waiting and
    // dropped at once has sent nothing (no password above all), but holds what it would use.
    const char *keywords[] = {"dbname", nullptr};
    const char *values[] = {dataSource.constData(), nullptr};
    PGconn *conn = PQconnectStartParams(keywords, values, 1);
    PQconninfoOption *used = conn ? PQconninfo(conn) : nullptr;
    for (PQconninfoOption *o = used; o && o->keyword; ++o) {
        if (o->val)
            expanded.emplace_back(o->keyword, o->val);
    }
    PQconninfoFree(used);
    PQfinish(conn);
    return expanded;
}

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
    // A service's entry counts as if the string said it: where it reaches a host over the
    // network without its own choice, the same defaults hold.
    const Settings expanded = serviceExpanded(dataSource);
    const bool network = expanded.empty()
                             ? overNetwork(setting(options, "host", "PGHOST"), setting(options, "hostaddr", "PGHOSTADDR"))
                             : overNetwork(valueIn(expanded, "host"), valueIn(expanded, "hostaddr"));
    if (network) {
        const QByteArray ownMode = !setting(options, "sslmode", "PGSSLMODE").isEmpty() ? setting(options, "sslmode", "PGSSLMODE")
                                   : serviceChose(expanded, "sslmode")                   ? valueIn(expanded, "sslmode")
                                                                                         : QByteArray();
        if (ownMode.isEmpty() && valueOf(options, "requiressl").isEmpty())
            settings.emplace_back("sslmode", "verify-full");
        // A mode that allows a connection without TLS (sslmode=disable, one step to opt out)
        // cannot bind a password to the channel either.
        const bool plainAllowed = ownMode == "disable" || ownMode == "allow" || ownMode == "prefer";
        if (!plainAllowed && setting(options, "channel_binding", "PGCHANNELBINDING").isEmpty()
            && !serviceChose(expanded, "channel_binding"))
            settings.emplace_back("channel_binding", "require");
    }
    PQconninfoFree(options);
    return settings;
}

} // namespace PostgresConnectDefaults
