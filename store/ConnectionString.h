#pragma once

#include <QString>

// Reads the items of an ADO connection string ("Key=Value;Key=Value").
namespace ConnectionString {

// The value of the "Data Source" item, as inserted into the string: spaces and every other
// character kept. A value may itself hold ';' as long as what follows does not read as
// another item; a value in double or single quotes is taken whole, a doubled quote inside
// standing for one. Empty when the item is missing; raises EDatabaseError when a quoted
// value is not closed or is followed by anything but the next item.
QString dataSource(const QString &connectionString);

// The value as it goes into a connection string so that dataSource() gives it back: as it
// stands when it reads back unchanged, otherwise in double quotes.
QString quotedDataSource(const QString &connectionTemplate, const QString &value);

} // namespace ConnectionString
