#pragma once

#include <QString>
#include <QVariant>

class RecordSet;

// One column of a record set's current row, found by name. Reading a null value, or
// reading while there is no current row, gives the empty text and 0.
class Field
{
public:
    Field(RecordSet *recordSet, QString fieldName);

    const QString &fieldName() const { return m_fieldName; }
    QString displayLabel() const { return m_displayLabel.isEmpty() ? m_fieldName : m_displayLabel; }
    void setDisplayLabel(const QString &label) { m_displayLabel = label; }

    QVariant value() const;
    bool isNull() const;
    QString asString() const;
    int asInteger() const;
    qint64 asLargeInt() const; // keys: the whole 64-bit value

    // Writes raise EDatabaseError unless the record set is editing or inserting, and leave
    // the field as it was when the value does not fit.
    void setValue(const QVariant &value);
    void setAsString(const QString &text);
    void setAsInteger(int value);
    void setAsLargeInt(qint64 value);
    void clear();

    int size() const;       // the most characters a text column holds, 0 when unbounded
    bool isReadOnly() const; // the key column, which the database assigns

private:
    RecordSet *m_recordSet;
    QString m_fieldName;
    QString m_displayLabel;
};
