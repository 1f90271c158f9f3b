#pragma once

#include <QString>

// The engine a test run stores its speech libraries on. A test registered for the server
// runs with TINLARK_TEST_ENGINE=server: each test database is then a library on one
// throwaway PostgreSQL server that the test process starts on first use and stops at its end,
// and the settings the test writes point the program at it.
namespace TestServer {

bool enabled();

// Creates an empty library with the program's tables on the server; its data source. Empty
// when the server cannot be started or the library made; why is then in error().
QString newLibrary();
QString error();

// Remembers that the program finds the library at dataSource where it would look for the
// file path; the data source the settings must name instead of path, or empty.
void placeLibrary(const QString &path, const QString &dataSource);
QString libraryPlacedAt(const QString &path);

// A command written for the file (plain table and column names) as the server reads it:
// the program's table and column names are put in double quotes, outside string literals.
QString serverCommand(const QString &sql);

} // namespace TestServer

// Leaves a test that only a file can run (file locks, read-only files, missing files).
#define SKIP_ON_SERVER(why)                                                                                        \
    do {                                                                                                           \
        if (TestServer::enabled())                                                                                 \
            QSKIP("a file's case on a server library: " why);                                                       \
    } while (false)
