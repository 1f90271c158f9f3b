#include "Libmdb.h"

#include "OnDemandLibrary.h"

#include <dlfcn.h>
#include <optional>
#include <type_traits>

namespace {

constexpr const char *LibraryName = "libmdb.so.3";

struct Loaded
{
    std::optional<Libmdb> functions;
    QString error;
};

Loaded load()
{
    Libmdb found{};
    QString error;
    const auto resolve = [&error](auto &function, const char *name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(onDemandSymbol(LibraryName, name));
        if (!function && error.isEmpty()) {
            const char *const why = dlerror();
            error = QString::fromLocal8Bit(why ? why : name);
        }
    };
    resolve(found.open, "mdb_open");
    resolve(found.close, "mdb_close");
    resolve(found.readCatalog, "mdb_read_catalog");
    resolve(found.readTableByName, "mdb_read_table_by_name");
    resolve(found.readColumns, "mdb_read_columns");
    resolve(found.freeTableDef, "mdb_free_tabledef");
    resolve(found.readPage, "mdb_read_pg");
    resolve(found.rewindTable, "mdb_rewind_table");
    resolve(found.fetchRow, "mdb_fetch_row");
    resolve(found.findRow, "mdb_find_row");
    resolve(found.crackRow, "mdb_crack_row");
    resolve(found.oleRead, "mdb_ole_read");
    resolve(found.oleReadNext, "mdb_ole_read_next");
    resolve(found.getInt32, "mdb_get_int32");
    resolve(found.getDouble, "mdb_get_double");
    if (!error.isEmpty())
        return {std::nullopt, error};
    return {found, QString()};
}

const Loaded &loaded()
{
    static const Loaded once = load();
    return once;
}

} // namespace

const Libmdb *Libmdb::functions()
{
    return loaded().functions ? &*loaded().functions : nullptr;
}

QString Libmdb::loadError()
{
    return loaded().error;
}
