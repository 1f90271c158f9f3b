#include "CsvReader.h"

#include "ETransferError.h"
#include "SpreadsheetSafeCells.h"
#include "Utf8Text.h"

namespace {

const char *const ColumnNames[4] = {"Language", "Keywords", "Text", "Comments"};

bool endsField(int byte)
{
    return byte == ',' || byte == '\r' || byte == '\n' || byte < 0;
}

} // namespace

CsvReader::CsvReader(QIODevice &device) : m_in(device)
{
    m_in.skipByteOrderMark();
    if (!readRecord())
        fail(1, QStringLiteral("the file is empty: it has no header Language,Keywords,Text,Comments"));
    m_headerColumns = int(m_fields.size());
    for (int column = 0; column < m_headerColumns; ++column) {
        const QString name = fieldText(column).trimmed();
        if (name.compare(QLatin1String(SpreadsheetSafeCells::MarkerColumn), Qt::CaseInsensitive) == 0)
            m_spreadsheetSafe = true;
        for (int known = 0; known < 4; ++known) {
            if (name.compare(QLatin1String(ColumnNames[known]), Qt::CaseInsensitive) != 0)
                continue;
            if (m_columnOf[known] >= 0)
                fail(m_recordLine, QStringLiteral("the header names the column %1 twice").arg(ColumnNames[known]));
            m_columnOf[known] = column;
        }
    }
    for (int known = 0; known < 4; ++known) {
        if (m_columnOf[known] < 0)
            fail(m_recordLine, QStringLiteral("the header has no column %1 (it needs Language,Keywords,Text,Comments)")
                                   .arg(ColumnNames[known]));
    }
}

void CsvReader::fail(qint64 line, const QString &reason) const
{
    throw ETransferError(QStringLiteral("line %1: %2").arg(line).arg(reason));
}

QString CsvReader::fieldText(int column) const
{
    const std::optional<QString> text = Utf8Text::decode(m_fields[column]);
    if (!text)
        fail(m_recordLine, QStringLiteral("the text is not UTF-8 (save the file as UTF-8 and import it again)"));
    return m_spreadsheetSafe ? SpreadsheetSafeCells::unescaped(*text) : *text;
}

bool CsvReader::readRecord()
{
    m_fields.clear();
    m_recordLine = m_in.line();
    if (m_in.peek() < 0)
        return false;
    QByteArray field;
    const auto append = [&](int byte) {
        if (field.size() >= Utf8Text::MaxValueBytes)
            fail(m_recordLine, QStringLiteral("a field is longer than %1 MiB").arg(Utf8Text::MaxValueBytes >> 20));
        field += char(byte);
    };
    for (;;) {
        int byte = m_in.get();
        if (byte == '"') {
            const qint64 opened = m_in.line();
            for (;;) {
                byte = m_in.get();
                if (byte < 0)
                    fail(opened, QStringLiteral("a quoted field is not closed"));
                if (byte == '"') {
                    if (m_in.peek() != '"')
                        break;
                    m_in.get();
                }
                append(byte);
            }
            byte = m_in.get();
            if (!endsField(byte))
                fail(m_in.line(), QStringLiteral("text follows the closing quote of a field (a quote inside a "
                                                 "quoted field is written twice)"));
        } else {
            for (; !endsField(byte); byte = m_in.get()) {
                if (byte == '"')
                    fail(m_in.line(), QStringLiteral("a quote inside a field that is not quoted (quote the field and "
                                                     "write the quote twice)"));
                append(byte);
            }
        }
        m_fields.append(field);
        field.clear();
        if (byte == ',')
            continue;
        if (byte == '\r' && m_in.peek() == '\n')
            m_in.get();
        return true;
    }
}

bool CsvReader::next(TransferRecord &record)
{
    do {
        if (!readRecord())
            return false;
    } while (m_fields.size() == 1 && m_fields[0].isEmpty() && m_headerColumns > 1);
    if (m_fields.size() != m_headerColumns)
        fail(m_recordLine, QStringLiteral("%1 fields where the header has %2").arg(m_fields.size()).arg(m_headerColumns));
    record.id = QVariant();
    record.language = fieldText(m_columnOf[0]);
    record.keywords = fieldText(m_columnOf[1]);
    record.text = fieldText(m_columnOf[2]);
    record.comments = fieldText(m_columnOf[3]);
    record.place = QStringLiteral("line %1").arg(m_recordLine);
    return true;
}
