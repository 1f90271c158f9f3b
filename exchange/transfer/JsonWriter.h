#pragma once

#include "RecordWriter.h"

// A JSON array of speeches, one object a line with the keys ID, Language, Keywords, Text and
// Comments; text is written as UTF-8, only quotes, backslashes and control characters escaped.
class JsonWriter : public RecordWriter
{
public:
    explicit JsonWriter(QIODevice &device);
    void write(const TransferRecord &record) override;
    void finish() override;

private:
    QIODevice &m_device;
    QByteArray m_line;
    bool m_first = true;
};
