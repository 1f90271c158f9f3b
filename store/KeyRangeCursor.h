#pragma once

#include "KeyCursor.h"
#include "Statement.h"

#include <QString>
#include <QVariantList>
#include <memory>

// The rows of a command without an order of its own, in the order of their keys, which is
// the order in which the database returns them. Every move is one indexed look-up, so a list of a
// million rows costs no memory and no time to open.
class KeyRangeCursor : public KeyCursor
{
public:
    // keysSql selects the key column "ID" of the rows, with values bound to its '?'s.
    KeyRangeCursor(Database *db, QString keysSql, QVariantList values);

    std::optional<qint64> first() override;
    std::optional<qint64> last() override;
    std::optional<qint64> next(qint64 key) override;
    std::optional<qint64> prior(qint64 key) override;
    bool contains(qint64 key) override;
    int count() override;
    int indexOf(qint64 key) override;
    std::optional<qint64> keyAt(int index) override;
    void keyInserted(qint64, std::optional<qint64>) override {}
    void keyRemoved(qint64) override {}

private:
    std::optional<qint64> firstKey(std::unique_ptr<Statement> &statement, const char *tail,
                                   std::optional<qint64> argument);
    qint64 countWhere(std::unique_ptr<Statement> &statement, const char *tail, std::optional<qint64> argument);

    Database *m_db;
    QString m_keysSql;
    QVariantList m_values;
    std::unique_ptr<Statement> m_first, m_last, m_next, m_prior, m_contains, m_count, m_countBefore, m_keyAt;
};
