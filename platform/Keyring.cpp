// libsecret before Qt: GLib names things "signals", which Qt makes a keyword.
#include <libsecret/secret.h>

#include "Keyring.h"

#include "KeyringDeadline.h"

#include <QtGlobal>
#include <atomic>

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

// A keyring that stopped answering is not asked again in this run: each call would wait.
std::atomic<bool> &silent()
{
    static std::atomic<bool> stopped{false};
    return stopped;
}

const QString Silent = QStringLiteral("it does not answer");

// Whether the call succeeded; the keyring's reason in failure when it did not.
bool succeeded(bool done, GError *error, const KeyringDeadline &deadline, QString *failure)
{
    if (deadline.expired()) {
        silent() = true;
        done = false;
        if (failure)
            *failure = Silent;
    } else if (error) {
        done = false;
        if (failure)
            *failure = QString::fromUtf8(error->message);
    } else if (!done && failure) {
        *failure = QStringLiteral("the keyring refused it");
    }
    if (error)
        g_error_free(error);
    return done;
}

} // namespace

namespace Keyring {

QString whyUnavailable()
{
    // Without a session bus libsecret would try to start one.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return QStringLiteral("none is running here");
    return silent() ? Silent : QString();
}

bool available()
{
    return whyUnavailable().isEmpty();
}

std::optional<QByteArray> find(const QString &server)
{
    if (!available())
        return std::nullopt;
    GError *error = nullptr;
    const KeyringDeadline deadline;
    gchar *password = secret_password_lookup_sync(serverPasswords(), deadline.cancellable(), &error, "server",
                                                  server.toUtf8().constData(), nullptr);
    if (!succeeded(password != nullptr, error, deadline, nullptr) || !password)
        return std::nullopt;
    QByteArray found(password);
    secret_password_free(password);
    return found;
}

bool keep(const QString &server, const QByteArray &password, QString *failure)
{
    if (!available()) {
        if (failure)
            *failure = whyUnavailable();
        return false;
    }
    GError *error = nullptr;
    const QByteArray label = QStringLiteral("The Tinlark: %1").arg(server).toUtf8();
    const KeyringDeadline deadline;
    const gboolean kept = secret_password_store_sync(serverPasswords(), SECRET_COLLECTION_DEFAULT, label.constData(),
                                                     password.constData(), deadline.cancellable(), &error, "server",
                                                     server.toUtf8().constData(), nullptr);
    return succeeded(kept, error, deadline, failure);
}

bool forget(const QString &server, QString *failure)
{
    if (!available()) {
        // Nothing can have been kept without a desktop session.
        if (failure)
            *failure = whyUnavailable();
        return !silent();
    }
    GError *error = nullptr;
    const KeyringDeadline deadline;
    // False without an error only says that nothing was kept.
    secret_password_clear_sync(serverPasswords(), deadline.cancellable(), &error, "server",
                               server.toUtf8().constData(), nullptr);
    return succeeded(true, error, deadline, failure);
}

} // namespace Keyring
