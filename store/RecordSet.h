#pragma once

#include "DataSetState.h"
#include "FilterExpression.h"
#include "SqlCommand.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class Connection;
class DataSource;
class Field;
class KeyCursor;
class Statement;

// A cursor over the rows of a single-table select on a Connection, with the moves, edits,
// filter and events of a data set. Rows are identified by their key column "ID"; only the
// current row is held in memory. Every change it stores is one transaction: a refused one
// raises EDatabaseError and leaves the row being edited, and the file, as they were.
class RecordSet : public QObject
{
    Q_OBJECT

public:
    explicit RecordSet(Connection *connection = nullptr);
    ~RecordSet() override;
    RecordSet(const RecordSet &) = delete;
    RecordSet &operator=(const RecordSet &) = delete;

    void setConnection(Connection *connection);
    Connection *connection() const { return m_connection; }
    void setCommandText(const QString &commandText); // only while closed
    const QString &commandText() const { return m_commandText; }
    void setLockType(LockType lockType); // only while closed
    LockType lockType() const { return m_lockType; }

    void open();
    void close(); // a pending edit or insert is dropped
    bool active() const { return m_state != DataSetState::Inactive; }
    DataSetState state() const { return m_state; }

    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    bool isEmpty() const;
    int recordCount() const;
    bool modified() const { return m_modified; }

    void first();
    void last();
    void next();
    void prior();
    int recNo() const; // position of the current row from 0, -1 when there is none
    // Where the row being inserted stands among the others (before the row it was inserted
    // in front of, or at the end); -1 when no row is being inserted.
    int newRowPosition() const;
    // One field of the stored row at a position, read without moving the cursor; null
    // when there is no such row or field.
    QVariant valueAt(int position, const QString &fieldName) const;
    void setRecNo(int position);
    // Makes current the first row whose field equals value; false when there is none.
    bool locate(const QString &fieldName, qint64 value);

    void insert(); // a new row in front of the current one
    void append(); // a new row at the end
    void edit();   // on an empty record set: a new row
    void post();
    void cancel();
    void deleteRecord();
    void refresh();
    // Leaves edit or insert: stores the row when it was changed, drops it otherwise.
    void checkBrowseMode();
    // While a row is edited: the row as it is stored now (a value per field name, in order),
    // none when it is gone; after a post refused with EPostConflict, the other version.
    std::optional<QVariantList> storedRow();
    // Stores the row being edited over seenRow, a stored version the user has seen: a field
    // the user did not change keeps what was stored there meanwhile, only the fields the user
    // changed take the typed values. Refused again (EPostConflict) when the row changed once
    // more since, never overwritten unseen.
    void postOver(const QVariantList &seenRow);
    // Against storedNow, a version stored since the row was read: the fields both the user and
    // someone else changed, each to something else (what a store over it must ask about), and
    // the fields only someone else changed (what it takes from there).
    QStringList fieldsChangedOnBothSides(const QVariantList &storedNow) const;
    QStringList fieldsChangedOnlyThere(const QVariantList &storedNow) const;
    // Turns the row being edited into a new row at the end, with every value typed; a post
    // stores it under a new key, a cancel goes back to the row as it was read.
    void editAsNewRow();

    void setFilter(const QString &filter);
    const QString &filter() const { return m_filter; }
    void setFiltered(bool filtered);
    bool filtered() const { return m_filtered; }

    Field *fieldByName(const QString &fieldName);
    QStringList fieldNames() const { return m_columns; }
    std::optional<qint64> currentKey() const { return m_currentKey; }

    // The two events that decide stay single handlers, not signals: each may raise to stop what
    // it was asked about, and an exception must not travel through a signal's emission to the
    // other listeners and back out of Qt. beforePost may still set fields, and a failure in it
    // stops the post.
    std::function<void()> beforePost;
    // Settles a post that leaving edit or insert (a move, a refresh, a new filter) made and
    // that was refused for someone else's change: stores or drops the row being edited, or
    // raises to stop what was leaving it. Without it the refusal (EPostConflict) is raised.
    std::function<void()> onPostConflict;

signals:
    // After every move of the cursor, also one that finds no further row and changes only the
    // begin or end flag. Listeners are told in the order they connected and must not raise.
    void afterScroll();

private:
    friend class Field;
    friend class DataSource;
    friend class Connection;

    QVariant fieldValue(const QString &fieldName) const;
    void setFieldValue(const QString &fieldName, const QVariant &value);
    int fieldSize(const QString &fieldName) const;
    int columnIndex(const QString &fieldName) const;
    void addDataSource(DataSource *dataSource);
    void removeDataSource(DataSource *dataSource);
    void closeForConnection();

    [[noreturn]] static void refuse(const QString &message); // raises EDatabaseError
    void checkActive() const;
    void checkWritable() const;
    void setState(DataSetState state);
    void notifyRecordChanged(Field *field);
    void notifyUpdateData();
    void scrolled();
    void makeCurrent(std::optional<qint64> key);
    void fetchCurrentRow();
    void rebuildCursor(const FilterExpression &filter);
    void beginNewRow(std::optional<qint64> insertBefore);
    void storeRow();
    void updateRow(const QStringList &names, const QVariantList &values);
    void placeStoredRow();
    void validateRow() const;
    QVariantList commandValuesWith(const QVariantList &more) const;

    Connection *m_connection = nullptr;
    QString m_commandText;
    LockType m_lockType = LockType::Optimistic;
    QString m_filter;
    bool m_filtered = false;

    DataSetState m_state = DataSetState::Inactive;
    bool m_bof = true;
    bool m_eof = true;
    bool m_modified = false;

    SqlCommand m_command;
    QStringList m_columns;
    QHash<QString, int> m_columnIndex; // lower-case name to column
    std::vector<int> m_columnSizes;
    std::vector<bool> m_columnStored; // a column of the base table, not one the select made up
    int m_keyColumn = -1;
    std::unique_ptr<KeyCursor> m_cursor;
    std::unique_ptr<Statement> m_fetchRow;
    QVariantList m_fetchValues; // bound before the key in m_fetchRow

    std::optional<qint64> m_currentKey;
    QVariantList m_row;
    QVariantList m_originalRow;
    std::optional<qint64> m_insertBefore; // where an inserted row goes; none: at the end
    std::optional<qint64> m_keyBeforeInsert;

    std::map<QString, std::unique_ptr<Field>> m_fields; // by lower-case name
    QList<DataSource *> m_dataSources;
};
