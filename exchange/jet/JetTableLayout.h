#pragma once

#include <QList>
#include <QString>

// The kinds of column a speech database holds, as Jet names them.
enum class JetColumnType { Long, Text, Memo };

struct JetColumnLayout
{
    QString name;
    JetColumnType type;
};

// A table of a speech database: its name and its columns in their order. The first column
// is the ID that the database numbers automatically.
struct JetTableLayout
{
    QString name;
    QList<JetColumnLayout> columns;

    QStringList columnNames() const;
};

namespace SpeechTables {
const JetTableLayout &languages(); // Taal(ID, Taal)
const JetTableLayout &speeches();  // Speeches(ID, TaalID, Keywords, Tekst, Comments)
} // namespace SpeechTables
