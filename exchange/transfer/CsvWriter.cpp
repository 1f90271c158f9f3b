#include "CsvWriter.h"

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

CsvWriter::CsvWriter(QIODevice &device) : m_device(device)
{
    put(m_device, "\xEF\xBB\xBF" "Language,Keywords,Text,Comments\r\n");
}

void CsvWriter::write(const TransferRecord &record)
{
    m_line.clear();
    appendField(m_line, record.language);
    for (const QVariant *value : {&record.keywords, &record.text, &record.comments}) {
        m_line += ',';
        appendField(m_line, value->toString());
    }
    m_line += "\r\n";
    put(m_device, m_line);
}
