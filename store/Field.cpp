#include "Field.h"

#include "RecordSet.h"

Field::Field(RecordSet *recordSet, QString fieldName) : m_recordSet(recordSet), m_fieldName(std::move(fieldName)) {}

QVariant Field::value() const
{
    return m_recordSet->fieldValue(m_fieldName);
}

bool Field::isNull() const
{
    return value().isNull();
}

QString Field::asString() const
{
    const QVariant v = value();
    return v.isNull() ? QString() : v.toString();
}

int Field::asInteger() const
{
    const QVariant v = value();
    if (v.isNull())
        return 0;
    bool ok = false;
    const qint64 number = v.toLongLong(&ok);
    return ok ? int(number) : 0;
}

qint64 Field::asLargeInt() const
{
    const QVariant v = value();
    bool ok = false;
    const qint64 number = v.isNull() ? 0 : v.toLongLong(&ok);
    return ok ? number : 0;
}

void Field::setValue(const QVariant &value)
{
    m_recordSet->setFieldValue(m_fieldName, value);
}

void Field::setAsString(const QString &text)
{
    setValue(text);
}

void Field::setAsInteger(int value)
{
    setValue(QVariant(qint64(value)));
}

void Field::setAsLargeInt(qint64 value)
{
    setValue(QVariant(value));
}

void Field::clear()
{
    setValue(QVariant());
}

int Field::size() const
{
    return m_recordSet->fieldSize(m_fieldName);
}

bool Field::isReadOnly() const
{
    return m_fieldName.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0;
}
