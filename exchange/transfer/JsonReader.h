#pragma once

#include "InputBytes.h"
#include "RecordReader.h"

// A JSON array of speeches, read one object at a time so that a file of any size is
// streamed: each object has the keys Language, Keywords, Text and Comments (strings, or null
// for the last three) and may have ID and others, whose values (not objects or arrays) are
// passed over.
class JsonReader : public RecordReader
{
public:
    explicit JsonReader(QIODevice &device); // reads up to the first speech
    bool next(TransferRecord &record) override;

private:
    [[noreturn]] void fail(const QString &reason) const; // at the next byte
    [[noreturn]] void failAt(qint64 line, qint64 column, const QString &reason) const;
    int skipSpace(); // the next byte that is not white space, not taken
    void expect(char wanted, const char *what);
    QString readString();  // after its opening quote
    QVariant readValue(); // a QString, null, or false for a number or truth value passed over
    void readEscape(QByteArray &bytes);

    InputBytes m_in;
    qint64 m_valueLine = 0; // where the last value began
    qint64 m_valueColumn = 0;
    bool m_first = true;
    bool m_done = false;
};
