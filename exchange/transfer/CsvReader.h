#pragma once

#include "InputBytes.h"
#include "RecordReader.h"

#include <QList>

// CSV as RFC 4180 writes it, read a record at a time: a header naming the columns Language,
// Keywords, Text and Comments (any order, any case; others are passed over), a field quoted
// or not, a quote inside a quoted one doubled. Records end with CR LF, LF or CR; a quoted
// field keeps its line ends as they are. A blank line is passed over. An empty field is an
// empty text. A header that names the column SpreadsheetSafe marks a file whose cells were
// written safe for spreadsheets: the ' in front of a cell is taken off again.
class CsvReader : public RecordReader
{
public:
    explicit CsvReader(QIODevice &device); // reads the header
    bool next(TransferRecord &record) override;

private:
    bool readRecord(); // into m_fields; false at the end of the file
    [[noreturn]] void fail(qint64 line, const QString &reason) const;
    QString fieldText(int column) const;

    InputBytes m_in;
    QList<QByteArray> m_fields;
    qint64 m_recordLine = 1;
    int m_headerColumns = 0;
    int m_columnOf[4] = {-1, -1, -1, -1}; // Language, Keywords, Text, Comments
    bool m_spreadsheetSafe = false;
};
