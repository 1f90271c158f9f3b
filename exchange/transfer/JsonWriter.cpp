#include "JsonWriter.h"

namespace {

void appendString(QByteArray &line, const QVariant &value)
{
    if (value.isNull()) {
        line += "null";
        return;
    }
    line += '"';
    for (const char byte : value.toString().toUtf8()) {
        switch (byte) {
        case '"': line += "\\\""; break;
        case '\\': line += "\\\\"; break;
        case '\n': line += "\\n"; break;
        case '\r': line += "\\r"; break;
        case '\t': line += "\\t"; break;
        default:
            if (uchar(byte) < 0x20)
                line += QByteArray("\\u00") + QByteArray::number(uchar(byte), 16).rightJustified(2, '0');
            else
                line += byte;
        }
    }
    line += '"';
}

} // namespace

JsonWriter::JsonWriter(QIODevice &device) : m_device(device)
{
    put(m_device, "[");
}

void JsonWriter::write(const TransferRecord &record)
{
    m_line = m_first ? "\n{\"ID\": " : ",\n{\"ID\": ";
    m_first = false;
    m_line += record.id.isNull() ? QByteArray("null") : record.id.toString().toUtf8();
    const std::pair<const char *, QVariant> values[] = {{", \"Language\": ", record.language},
                                                        {", \"Keywords\": ", record.keywords},
                                                        {", \"Text\": ", record.text},
                                                        {", \"Comments\": ", record.comments}};
    for (const auto &[key, value] : values) {
        m_line += key;
        appendString(m_line, value);
    }
    m_line += '}';
    put(m_device, m_line);
}

void JsonWriter::finish()
{
    put(m_device, "\n]\n");
}
