#include "JetTableLayout.h"

QStringList JetTableLayout::columnNames() const
{
    QStringList names;
    for (const JetColumnLayout &column : columns)
        names.append(column.name);
    return names;
}

namespace SpeechTables {

const JetTableLayout &languages()
{
    static const JetTableLayout table{QStringLiteral("Taal"),
                                    {{QStringLiteral("ID"), JetColumnType::Long},
                                     {QStringLiteral("Taal"), JetColumnType::Text}}};
    return table;
}

const JetTableLayout &speeches()
{
    static const JetTableLayout table{QStringLiteral("Speeches"),
                                    {{QStringLiteral("ID"), JetColumnType::Long},
                                     {QStringLiteral("TaalID"), JetColumnType::Long},
                                     {QStringLiteral("Keywords"), JetColumnType::Text},
                                     {QStringLiteral("Tekst"), JetColumnType::Memo},
                                     {QStringLiteral("Comments"), JetColumnType::Memo}}};
    return table;
}

} // namespace SpeechTables
