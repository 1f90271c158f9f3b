#pragma once

#include "KeyCursor.h"

#include <QString>
#include <QVariantList>
#include <vector>

class Database;

// The rows of a selection, read as a list of keys when the record set opens: the
// languages in the order of their names, the hits of a search.
class KeyListCursor : public KeyCursor
{
public:
    enum Order { AsSelected, ByKey };
    KeyListCursor(Database *db, const QString &keysSql, const QVariantList &values, Order order);
    explicit KeyListCursor(std::vector<qint64> keys); // keys found elsewhere, in their order

    std::optional<qint64> first() override;
    std::optional<qint64> last() override;
    std::optional<qint64> next(qint64 key) override;
    std::optional<qint64> prior(qint64 key) override;
    bool contains(qint64 key) override;
    int count() override;
    int indexOf(qint64 key) override;
    std::optional<qint64> keyAt(int index) override;
    void keyInserted(qint64 key, std::optional<qint64> before) override;
    void keyRemoved(qint64 key) override;

private:
    std::optional<qint64> keyAtIndex(qsizetype index) const;

    std::vector<qint64> m_keys;
    // Where the last key asked for was found: moves ask for the neighbours of that key.
    mutable qsizetype m_hint = 0;
};
