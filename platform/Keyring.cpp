// libsecret before Qt: GLib names things "signals", which Qt makes a keyword.
#include <libsecret/secret.h>

#include "Keyring.h"

#include <QtGlobal>

namespace {

const SecretSchema *serverPasswords()
{
    static const SecretSchema schema = [] {
        SecretSchema s{};
        s.name = "org.tinlark.ServerPassword";
        s.flags = SECRET_SCHEMA_NONE;
        s.attributes[0] = {"server", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return s;
    }();
    return &schema;
}

// Whether the call succeeded; the keyring's reason in failure when it did not.
bool succeeded(bool done, GError *error, QString *failure)
{
    if (error) {
        done = false;
        if (failure)
            *failure = QString::fromUtf8(error->message);
        g_error_free(error);
    } else if (!done && failure) {
        *failure = QStringLiteral("the keyring refused it");
    }
    return done;
}

} // namespace

namespace Keyring {

bool available()
{
    // Without a session bus libsecret would try to start one.
    return !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS");
}

std::optional<QByteArray> find(const QString &server)
{
    if (!available())
        return std::nullopt;
    GError *error = nullptr;
    gchar *password = secret_password_lookup_sync(serverPasswords(), nullptr, &error, "server",
                                                  server.toUtf8().constData(), nullptr);
    if (error)
        g_error_free(error);
    if (!password)
        return std::nullopt;
    QByteArray found(password);
    secret_password_free(password);
    return found;
}

bool keep(const QString &server, const QByteArray &password, QString *failure)
{
    if (!available()) {
        if (failure)
            *failure = QStringLiteral("no desktop session is running");
        return false;
    }
    GError *error = nullptr;
    const QByteArray label = QStringLiteral("The Tinlark: %1").arg(server).toUtf8();
    const gboolean kept = secret_password_store_sync(serverPasswords(), SECRET_COLLECTION_DEFAULT, label.constData(),
                                                     password.constData(), nullptr, &error, "server",
                                                     server.toUtf8().constData(), nullptr);
    return succeeded(kept, error, failure);
}

bool forget(const QString &server, QString *failure)
{
    if (!available())
        return true; // nothing can have been kept
    GError *error = nullptr;
    // False without an error only says that nothing was kept.
    secret_password_clear_sync(serverPasswords(), nullptr, &error, "server", server.toUtf8().constData(), nullptr);
    return succeeded(true, error, failure);
}

} // namespace Keyring
