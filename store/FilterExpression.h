#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// A record set's filter text, parsed once into an SQL condition. It holds comparisons of a
// field with a literal (=, <>, <, >, <=, >=, Like, Is [Not] Null) joined by And, Or and Not,
// with parentheses. Field names are matched without regard to letter case against the
// record set's columns; literals are bound values.
class FilterExpression
{
public:
    FilterExpression() = default; // no filter: every row passes

    // Raises EDatabaseError naming what it could not read.
    static FilterExpression parse(const QString &text, const QStringList &columns);

    bool isEmpty() const { return m_sql.isEmpty(); }
    const QString &sql() const { return m_sql; }
    const QVariantList &values() const { return m_values; }

private:
    QString m_sql;
    QVariantList m_values;
};
