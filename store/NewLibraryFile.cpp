#include "NewLibraryFile.h"

#include "Schema.h"

void createLibraryFile(const QString &path)
{
    Schema::createFile(path);
}
