// The keyring's library is loaded when a server password is first looked up or kept, not at
// every start (it brings GIO and its companions). These definitions stand for the functions of
// <libsecret/secret.h> the program calls; the variadic ones go through libsecret's va_list and
// hash table forms, which take the same attributes.

#include <libsecret/secret.h>

#include "OnDemandLibrary.h"

#include <cstdarg>
#include <dlfcn.h>

namespace {

template <typename Function> Function resolved(const char *name, GError **error)
{
    void *const symbol = onDemandSymbol("libsecret-1.so.0", name);
    if (!symbol) {
        const char *const why = dlerror();
        g_set_error_literal(error, g_quark_from_static_string("tinlark-keyring"), 0, why ? why : name);
    }
    return reinterpret_cast<Function>(symbol);
}

// The attributes of a variadic call as libsecret's hash table, handed to use; failed when they
// cannot be made.
template <typename Result, typename Use>
Result withAttributes(const SecretSchema *schema, va_list arguments, GError **error, Result failed, Use use)
{
    static const auto build = resolved<decltype(&::secret_attributes_buildv)>("secret_attributes_buildv", error);
    GHashTable *const table = build ? build(schema, arguments) : nullptr;
    if (!table)
        return failed;
    const Result result = use(table);
    g_hash_table_unref(table);
    return result;
}

} // namespace

extern "C" {

gchar *secret_password_lookup_sync(const SecretSchema *schema, GCancellable *cancellable, GError **error, ...)
{
    static const auto lookup = resolved<decltype(&::secret_password_lookupv_sync)>("secret_password_lookupv_sync", error);
    va_list arguments;
    va_start(arguments, error);
    gchar *const password =
        lookup ? withAttributes<gchar *>(schema, arguments, error, nullptr,
                                         [&](GHashTable *table) { return lookup(schema, table, cancellable, error); })
               : nullptr;
    va_end(arguments);
    return password;
}

gboolean secret_password_store_sync(const SecretSchema *schema, const gchar *collection, const gchar *label,
                                    const gchar *password, GCancellable *cancellable, GError **error, ...)
{
    static const auto store = resolved<decltype(&::secret_password_storev_sync)>("secret_password_storev_sync", error);
    va_list arguments;
    va_start(arguments, error);
    const gboolean kept = store ? withAttributes<gboolean>(schema, arguments, error, false, [&](GHashTable *table) {
        return store(schema, table, collection, label, password, cancellable, error);
    })
                                : false;
    va_end(arguments);
    return kept;
}

gboolean secret_password_clear_sync(const SecretSchema *schema, GCancellable *cancellable, GError **error, ...)
{
    static const auto clear = resolved<decltype(&::secret_password_clearv_sync)>("secret_password_clearv_sync", error);
    va_list arguments;
    va_start(arguments, error);
    const gboolean cleared = clear ? withAttributes<gboolean>(schema, arguments, error, false, [&](GHashTable *table) {
        return clear(schema, table, cancellable, error);
    })
                                   : false;
    va_end(arguments);
    return cleared;
}

void secret_password_free(gchar *password)
{
    // Only a password libsecret gave is freed, so the library is there.
    static const auto release = resolved<decltype(&::secret_password_free)>("secret_password_free", nullptr);
    release(password);
}
}
