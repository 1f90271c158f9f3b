#pragma once

#include "JetTableLayout.h"

#include <QByteArray>
#include <QList>
#include <QVariant>

#include <memory>

class JetDatabase;
struct S_MdbTableDef;

// One table of a Jet file, read row by row through libmdb. A row comes as one value a
// column in the order of the table's layout: a null QVariant for NULL, qint64 for a Long
// and QString for text and memos, whole. A value libmdb cannot read whole or that is no
// valid text raises the conversion error instead of being cut or guessed.
class JetTable
{
public:
    JetTable(JetDatabase &database, const JetTableLayout &layout);
    ~JetTable();
    JetTable(const JetTable &) = delete;
    JetTable &operator=(const JetTable &) = delete;

    // The rows the file says it holds, and the last number its autonumber column gave out.
    qint64 rowCount() const { return m_rowCount; }
    qint64 lastAutoNumber() const { return m_lastAutoNumber; }
    // The most characters a text column of the layout holds, as the file declares it.
    int declaredLength(int column) const { return m_declaredLengths.value(column); }

    // Reads the next row into row; false after the last. Raises the conversion error when
    // fewer rows could be read than the table holds.
    bool next(QVariantList &row);

private:
    QVariant readValue(int column, const struct MdbFieldView &field);
    QString readMemo(int column, const struct MdbFieldView &field);
    [[noreturn]] void failAtRow(const QString &problem) const;

    // Frees libmdb's table definition, also when the constructor gives up half way.
    struct TableDefDeleter
    {
        void operator()(S_MdbTableDef *table) const;
    };

    JetDatabase &m_database;
    const JetTableLayout &m_layout;
    std::unique_ptr<S_MdbTableDef, TableDefDeleter> m_table;
    QList<int> m_columnIndex; // libmdb's column number for each column of the layout
    QList<int> m_declaredLengths;
    qint64 m_rowCount = 0;
    qint64 m_lastAutoNumber = 0;
    qint64 m_rowsRead = 0;
    QVariant m_currentId;
    QByteArray m_chunk;
};
