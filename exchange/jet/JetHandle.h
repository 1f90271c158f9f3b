#pragma once

#include "JetDatabase.h"

#include <mdbtools.h>

// The libmdb handle behind a JetDatabase; only the units of this folder see libmdb.
struct JetDatabase::Handle
{
    MdbHandle *mdb = nullptr;
    ~Handle() { mdb_close(mdb); }
};
