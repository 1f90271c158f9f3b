#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

class Database;

// The languages of a library by name, matched without regard to case in every alphabet
// (Deutsch is DEUTSCH, Ελληνικά is ΕΛΛΗΝΙΚΆ); where two names match, the older language.
class LanguageNames
{
public:
    explicit LanguageNames(Database &database);

    QVariant find(const QString &name) const; // its ID, or null
    void add(const QString &name, qint64 id);

private:
    static QString folded(const QString &name);

    QHash<QString, qint64> m_ids;
};
