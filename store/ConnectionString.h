#pragma once

#include <QString>

// Reads the items of an ADO connection string ("Key=Value;Key=Value").
namespace ConnectionString {

// The value of the "Data Source" item, as inserted into the string: spaces and every other
// character kept. A value may itself hold ';' as long as what follows does not read as
// another item. Empty when the item is missing.
QString dataSource(const QString &connectionString);

} // namespace ConnectionString
