#pragma once

#include "RecordWriter.h"

// CSV as spreadsheet programs read it: UTF-8 with a byte-order mark, the header
// Language,Keywords,Text,Comments, records ended by CR LF, a field quoted when it holds a
// comma, a quote or a line end (kept inside exactly), quotes doubled. NULL is an empty field.
// Spreadsheet-safe cells, when asked for, are marked by a fifth column of the header.
class CsvWriter : public RecordWriter
{
public:
    explicit CsvWriter(QIODevice &device, CsvCells cells = CsvCells::Exact);
    void write(const TransferRecord &record) override;
    void finish() override {}

private:
    void appendCell(const QString &value);

    QIODevice &m_device;
    const CsvCells m_cells;
    QByteArray m_line;
};
