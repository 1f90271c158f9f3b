#pragma once

// A function of a library that is loaded at its first use rather than at every start: the
// symbol called name in the library soname, or nullptr when either cannot be found (dlerror()
// then says why).
void *onDemandSymbol(const char *soname, const char *name);
