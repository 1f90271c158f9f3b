#include "CsvWriter.h"

#include "SpreadsheetSafeCells.h"

namespace {

void appendField(QByteArray &line, const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r') && !bytes.contains('\n')) {
        line += bytes;
        return;
    }
    line += '"';
    for (const char byte : bytes) {
        if (byte == '"')
            line += '"';
        line += byte;
    }
    line += '"';
}

} // namespace

CsvWriter::CsvWriter(QIODevice &device, CsvCells cells) : m_device(device), m_cells(cells)
{
    QByteArray header = "\xEF\xBB\xBF" "Language,Keywords,Text,Comments";
    if (m_cells == CsvCells::SpreadsheetSafe)
        header += QByteArray(",") + SpreadsheetSafeCells::MarkerColumn;
    put(m_device, header + "\r\n");
}

void CsvWriter::appendCell(const QString &value)
{
    appendField(m_line, m_cells == CsvCells::SpreadsheetSafe ? SpreadsheetSafeCells::escaped(value) : value);
}

void CsvWriter::write(const TransferRecord &record)
{
    m_line.clear();
    appendCell(record.language);
    for (const QVariant *value : {&record.keywords, &record.text, &record.comments}) {
        m_line += ',';
        appendCell(value->toString());
    }
    if (m_cells == CsvCells::SpreadsheetSafe)
        m_line += ','; // the marker column's empty cell
    m_line += "\r\n";
    put(m_device, m_line);
}
