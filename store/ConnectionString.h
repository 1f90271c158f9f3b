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

// Where the item after the one beginning at from starts: the first ';' followed by ASCII white
// space, a name (an ASCII letter, then letters, digits, spaces, ':' or '_') and '='; -1 when
// no item follows.
qsizetype nextItemStart(const QString &connectionString, qsizetype from);

// The value as it goes into a connection string so that dataSource() gives it back: as it
// stands when it reads back unchanged, otherwise in double quotes.
QString quotedDataSource(const QString &connectionTemplate, const QString &value);

} // namespace ConnectionString
