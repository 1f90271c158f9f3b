#include "SqliteStatement.h"

#include "DatabaseErrorText.h"
#include "EDatabaseError.h"

#include <sqlite3.h>

void SqliteStatement::Finalizer::operator()(sqlite3_stmt *statement) const
{
    sqlite3_finalize(statement);
}

SqliteStatement::SqliteStatement(sqlite3 *db, const QString &sql) : m_db(db)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &statement, nullptr);
    m_statement.reset(statement);
    if (rc != SQLITE_OK)
        fail(QString());
    if (!statement)
        throw EDatabaseError(QStringLiteral("The command text holds no statement"));
}

void SqliteStatement::fail(const QString &what) const
{
    QString message = databaseErrorText(m_db);
    if (!what.isEmpty())
        message = what + QStringLiteral(": ") + message;
    throw EDatabaseError(message);
}

void SqliteStatement::bind(int index, const QVariant &value)
{
    sqlite3_stmt *statement = m_statement.get();
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(statement, index);
    } else if (value.typeId() == QMetaType::QString) {
        const QByteArray text = value.toString().toUtf8();
        rc = sqlite3_bind_text64(statement, index, text.constData(), sqlite3_uint64(text.size()),
                                 SQLITE_TRANSIENT, SQLITE_UTF8);
    } else if (value.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = value.toByteArray();
        rc = sqlite3_bind_blob64(statement, index, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
    } else if (value.typeId() == QMetaType::Double) {
        rc = sqlite3_bind_double(statement, index, value.toDouble());
    } else {
        rc = sqlite3_bind_int64(statement, index, value.toLongLong());
    }
    if (rc != SQLITE_OK)
        fail(QString());
}

void SqliteStatement::bindPointer(int index, void *pointer, const char *type)
{
    if (sqlite3_bind_pointer(m_statement.get(), index, pointer, type, nullptr) != SQLITE_OK)
        fail(QString());
}

void SqliteStatement::bindAll(const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
}

bool SqliteStatement::step()
{
    const int rc = sqlite3_step(m_statement.get());
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // Leave the statement ready for another run before the error travels on.
    const QString message = databaseErrorText(m_db);
    sqlite3_reset(m_statement.get());
    throw EDatabaseError(message);
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_statement.get());
    sqlite3_clear_bindings(m_statement.get());
}

void SqliteStatement::execute(const QVariantList &values)
{
    reset();
    bindAll(values);
    while (step()) {
    }
    reset();
}

int SqliteStatement::columnCount() const
{
    return sqlite3_column_count(m_statement.get());
}

QString SqliteStatement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_statement.get(), column));
}

qint64 SqliteStatement::columnInt64(int column) const
{
    return sqlite3_column_int64(m_statement.get(), column);
}

QVariant SqliteStatement::columnValue(int column) const
{
    sqlite3_stmt *statement = m_statement.get();
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_NULL:
        return QVariant();
    default: {
        // Text and blobs alike are read as UTF-8 text.
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        const int size = sqlite3_column_bytes(statement, column);
        return QVariant(QString::fromUtf8(text, size));
    }
    }
}

QVariant SqliteStatement::columnStoredValue(int column) const
{
    const int type = sqlite3_column_type(m_statement.get(), column);
    if (type != SQLITE_TEXT && type != SQLITE_BLOB)
        return columnValue(column);
    const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_statement.get(), column));
    const QByteArray stored(bytes, sqlite3_column_bytes(m_statement.get(), column));
    const QString text = QString::fromUtf8(stored);
    if (type == SQLITE_BLOB || text.toUtf8() != stored)
        return QVariant(stored);
    return QVariant(text);
}

bool SqliteStatement::columnIsNull(int column) const
{
    return sqlite3_column_type(m_statement.get(), column) == SQLITE_NULL;
}

bool SqliteStatement::columnIsInteger(int column) const
{
    return sqlite3_column_type(m_statement.get(), column) == SQLITE_INTEGER;
}

QByteArray SqliteStatement::columnUtf8(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement.get(), column));
    return QByteArray(text, sqlite3_column_bytes(m_statement.get(), column));
}

qint64 SqliteStatement::changes() const
{
    return sqlite3_changes64(m_db);
}
