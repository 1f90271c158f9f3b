#include "JetTableSpec.h"

QStringList JetTableSpec::columnNames() const
{
    QStringList names;
    for (const JetColumnSpec &column : columns)
        names.append(column.name);
    return names;
}

namespace SpeechTables {

const JetTableSpec &languages()
{
    static const JetTableSpec table{QStringLiteral("Taal"),
                                    {{QStringLiteral("ID"), JetColumnType::Long},
                                     {QStringLiteral("Taal"), JetColumnType::Text}}};
    return table;
}

const JetTableSpec &speeches()
{
    static const JetTableSpec table{QStringLiteral("Speeches"),
                                    {{QStringLiteral("ID"), JetColumnType::Long},
                                     {QStringLiteral("TaalID"), JetColumnType::Long},
                                     {QStringLiteral("Keywords"), JetColumnType::Text},
                                     {QStringLiteral("Tekst"), JetColumnType::Memo},
                                     {QStringLiteral("Comments"), JetColumnType::Memo}}};
    return table;
}

} // namespace SpeechTables
