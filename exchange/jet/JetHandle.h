#pragma once

#include "JetDatabase.h"

#include "Libmdb.h"

// The libmdb handle behind a JetDatabase; only the units of this folder see libmdb.
struct JetDatabase::Handle
{
    const Libmdb *lib = Libmdb::functions(); // never null once mdb is open
    MdbHandle *mdb = nullptr;
    ~Handle()
    {
        if (mdb)
            lib->close(mdb);
    }
};
