#include "OnDemandLibrary.h"

#include <dlfcn.h>

void *onDemandSymbol(const char *soname, const char *name)
{
    // Loaded once for the process; a later dlopen of the same name only finds it.
    void *const library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    return library ? dlsym(library, name) : nullptr;
}
