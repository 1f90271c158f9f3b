#include "LanguageNames.h"

#include "LikePattern.h"
#include "Statement.h"

LanguageNames::LanguageNames(Database &database)
{
    Statement read(&database, QStringLiteral(R"(SELECT "ID", "Taal" FROM "Taal" WHERE "Taal" IS NOT NULL ORDER BY "ID")"));
    while (read.step())
        add(read.columnValue(1).toString(), read.columnInt64(0));
}

QString LanguageNames::folded(const QString &name)
{
    return QString::fromStdString(LikePattern::foldedUtf8(name.toStdString()));
}

QVariant LanguageNames::find(const QString &name) const
{
    const auto found = m_ids.constFind(folded(name));
    return found == m_ids.constEnd() ? QVariant() : QVariant(*found);
}

void LanguageNames::add(const QString &name, qint64 id)
{
    const QString key = folded(name);
    if (!m_ids.contains(key))
        m_ids.insert(key, id);
}
