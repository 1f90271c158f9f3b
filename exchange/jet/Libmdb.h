#pragma once

#include <QString>
#include <mdbtools.h>

// The functions of libmdb the Jet reader calls. The library is loaded when an Access file is
// first read rather than at every start of the program, and is only reached through these
// pointers: no function of the program carries a libmdb name that could stand in for the
// library's own.
struct Libmdb
{
    decltype(&::mdb_open) open;
    decltype(&::mdb_close) close;
    decltype(&::mdb_read_catalog) readCatalog;
    decltype(&::mdb_read_table_by_name) readTableByName;
    decltype(&::mdb_read_columns) readColumns;
    decltype(&::mdb_free_tabledef) freeTableDef;
    decltype(&::mdb_read_pg) readPage;
    decltype(&::mdb_rewind_table) rewindTable;
    decltype(&::mdb_fetch_row) fetchRow;
    decltype(&::mdb_find_row) findRow;
    decltype(&::mdb_crack_row) crackRow;
    decltype(&::mdb_ole_read) oleRead;
    decltype(&::mdb_ole_read_next) oleReadNext;
    decltype(&::mdb_get_int32) getInt32;
    decltype(&::mdb_get_double) getDouble;

    // Loads the library at the first call; nullptr when it or one of its functions cannot be
    // found, loadError() then saying why.
    static const Libmdb *functions();
    static QString loadError();
};
