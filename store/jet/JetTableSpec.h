#pragma once

#include <QList>
#include <QString>

// The kinds of column a speech database holds, as Jet names them.
enum class JetColumnType { Long, Text, Memo };

struct JetColumnSpec
{
    QString name;
    JetColumnType type;
};

// A table of a speech database: its name and its columns in their order. The first column
// is the ID that the database numbers automatically.
struct JetTableSpec
{
    QString name;
    QList<JetColumnSpec> columns;

    QStringList columnNames() const;
};

namespace SpeechTables {
const JetTableSpec &languages(); // Taal(ID, Taal)
const JetTableSpec &speeches();  // Speeches(ID, TaalID, Keywords, Tekst, Comments)
} // namespace SpeechTables
