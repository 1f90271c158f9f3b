#include "PostgresStatement.h"

#include "EDatabaseError.h"
#include "PostgresPlaceholders.h"

namespace {

// Type OIDs of the server's catalogue (pg_type.oid), which never change.
constexpr Oid BoolOid = 16;
constexpr Oid Int8Oid = 20;
constexpr Oid Int2Oid = 21;
constexpr Oid Int4Oid = 23;
constexpr Oid OidOid = 26;
constexpr Oid Float4Oid = 700;
constexpr Oid Float8Oid = 701;
constexpr Oid NumericOid = 1700;

std::optional<QByteArray> textOf(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return QByteArray(value.toBool() ? "1" : "0");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return QByteArray::number(value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QByteArray::number(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return QByteArray::number(value.toDouble(), 'g', 17);
    default:
        break;
    }
    const QString text = value.toString();
    // The server's text holds no NUL character: the value is refused rather than cut short there.
    if (text.contains(QChar(u'\0')))
        throw EDatabaseError(QStringLiteral("The text cannot be stored on the server: it holds a NUL character, "
                                            "which a PostgreSQL text cannot hold"));
    return text.toUtf8();
}

qint64 changesOf(const PGresult *result)
{
    const QByteArray command(PQcmdStatus(const_cast<PGresult *>(result)));
    if (!command.startsWith("INSERT") && !command.startsWith("UPDATE") && !command.startsWith("DELETE"))
        return 0;
    return QByteArray(PQcmdTuples(const_cast<PGresult *>(result))).toLongLong();
}

} // namespace

PostgresStatement::PostgresStatement(PostgresSession &session, const QString &sql)
    : m_session(session)
{
    const PostgresPlaceholders translated = PostgresPlaceholders::translate(sql);
    m_sql = translated.sql;
    m_values.resize(size_t(translated.parameterCount));
    m_name = m_session.newStatementName();
    prepareOnServer();
}

PostgresStatement::~PostgresStatement()
{
    m_session.deallocate(m_name, m_preparedGeneration);
}

void PostgresStatement::prepareOnServer()
{
    m_session.prepare(m_name, m_sql);
    m_preparedGeneration = m_session.generation();
    m_description = m_session.describePrepared(m_name);
}

void PostgresStatement::bind(int index, const QVariant &value)
{
    if (index < 1 || size_t(index) > m_values.size())
        throw EDatabaseError(QStringLiteral("The statement has no value %1: %2").arg(index).arg(QString::fromUtf8(m_sql)));
    m_values[size_t(index - 1)] = textOf(value);
}

bool PostgresStatement::step()
{
    if (!m_result) {
        m_session.reconnectIfLost();
        if (m_preparedGeneration != m_session.generation())
            prepareOnServer();
        m_result = m_session.executePrepared(m_name, m_values);
        m_row = -1;
        m_changes = changesOf(m_result.get());
    }
    if (m_row < PQntuples(m_result.get()))
        ++m_row;
    return m_row < PQntuples(m_result.get());
}

void PostgresStatement::reset()
{
    m_result.reset();
    m_row = -1;
    for (std::optional<QByteArray> &value : m_values)
        value.reset();
}

const PGresult *PostgresStatement::columns() const
{
    return m_result ? m_result.get() : m_description.get();
}

int PostgresStatement::columnCount() const
{
    return PQnfields(columns());
}

QString PostgresStatement::columnName(int column) const
{
    return QString::fromUtf8(PQfname(columns(), column));
}

QVariant PostgresStatement::columnValue(int column) const
{
    const PGresult *result = m_result.get();
    if (!result || m_row < 0 || m_row >= PQntuples(result) || column < 0 || column >= PQnfields(result)
        || PQgetisnull(result, m_row, column))
        return QVariant();
    const char *text = PQgetvalue(result, m_row, column);
    switch (PQftype(result, column)) {
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
    case OidOid:
        return QVariant(qint64(QByteArray(text).toLongLong()));
    case BoolOid:
        return QVariant(qint64(text[0] == 't' ? 1 : 0));
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        return QVariant(QByteArray(text).toDouble());
    default:
        return QVariant(QString::fromUtf8(text, PQgetlength(result, m_row, column)));
    }
}

// Kept past reset(), as a run is read to its end and reset before its changes are asked for.
qint64 PostgresStatement::changes() const
{
    return m_changes;
}
