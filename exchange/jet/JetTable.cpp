#include "JetTable.h"

#include "JetDatabase.h"
#include "JetHandle.h"

#include <QSet>
#include <vector>

// A value of the current row as libmdb's row cracker found it on the page.
struct MdbFieldView
{
    bool isNull;
    int start;
    int size;
};

namespace {

constexpr quint32 MemoLengthMask = 0x00ffffff;
constexpr quint32 MemoInline = 0x80000000;
constexpr quint32 MemoOnePage = 0x40000000;
constexpr quint32 MemoFlagsMask = 0xff000000;

// A table is only read from an open database, which had libmdb loaded.
const Libmdb &lib()
{
    return *Libmdb::functions();
}

int mdbTypeOf(JetColumnType type)
{
    switch (type) {
    case JetColumnType::Long:
        return MDB_LONGINT;
    case JetColumnType::Text:
        return MDB_TEXT;
    case JetColumnType::Memo:
        return MDB_MEMO;
    }
    return -1;
}

QString describeColumns(MdbTableDef *table)
{
    QStringList names;
    for (unsigned int i = 0; i < table->num_cols; ++i)
        names.append(QString::fromUtf8(static_cast<MdbColumn *>(g_ptr_array_index(table->columns, i))->name));
    return names.join(QStringLiteral(", "));
}

// Points a column's bound buffer at a chunk buffer while libmdb reads a memo into it, and
// takes it away again, so that the next row's fetch does not copy into it.
class ChunkBinding
{
public:
    ChunkBinding(MdbColumn *column, QByteArray &chunk) : m_column(column) { m_column->bind_ptr = chunk.data(); }
    ~ChunkBinding() { m_column->bind_ptr = nullptr; }
    ChunkBinding(const ChunkBinding &) = delete;
    ChunkBinding &operator=(const ChunkBinding &) = delete;

private:
    MdbColumn *m_column;
};

} // namespace

JetTable::JetTable(JetDatabase &database, const JetTableLayout &layout) : m_database(database), m_layout(layout)
{
    MdbHandle *mdb = database.handle().mdb;
    QByteArray name = layout.name.toUtf8();
    m_table.reset(lib().readTableByName(mdb, name.data(), MDB_TABLE));
    if (!m_table)
        database.fail(QStringLiteral("it has no table %1").arg(layout.name));
    if (!lib().readColumns(m_table.get()))
        database.fail(QStringLiteral("the file is damaged (the columns of table %1 cannot be read)").arg(layout.name));

    const QString expected = layout.columnNames().join(QStringLiteral(", "));
    const auto otherColumns = [&]() {
        database.fail(QStringLiteral("its table %1 has the columns %2 instead of %3")
                          .arg(layout.name, describeColumns(m_table.get()), expected));
    };
    if (m_table->num_cols != unsigned(layout.columns.size()))
        otherColumns();
    for (const JetColumnLayout &column : layout.columns) {
        int found = -1;
        for (unsigned int i = 0; i < m_table->num_cols; ++i) {
            auto *mdbColumn = static_cast<MdbColumn *>(g_ptr_array_index(m_table->columns, i));
            if (QString::fromUtf8(mdbColumn->name).compare(column.name, Qt::CaseInsensitive) == 0
                && mdbColumn->col_type == mdbTypeOf(column.type))
                found = int(i);
        }
        if (found < 0)
            otherColumns();
        m_columnIndex.append(found);
        // Jet 4 counts a text column's size in bytes of UTF-16, Jet 3 in bytes of its code page.
        const int size = static_cast<MdbColumn *>(g_ptr_array_index(m_table->columns, found))->col_size;
        m_declaredLengths.append(database.format() == JetFormat::Jet4 ? size / 2 : size);
    }

    // The table definition page counts the rows and keeps the autonumber's last value.
    m_rowCount = m_table->num_rows;
    if (lib().readPage(mdb, m_table->entry->table_pg) != mdb->fmt->pg_size)
        database.fail(QStringLiteral("the file is damaged (table %1 cannot be read)").arg(layout.name));
    m_lastAutoNumber = lib().getInt32(mdb->pg_buf, mdb->fmt->tab_num_rows_offset + 4);
    m_chunk.resize(MDB_PGSIZE);
    lib().rewindTable(m_table.get());
}

JetTable::~JetTable() = default;

void JetTable::TableDefDeleter::operator()(S_MdbTableDef *table) const
{
    lib().freeTableDef(table);
}

bool JetTable::next(QVariantList &row)
{
    MdbHandle *mdb = m_database.handle().mdb;
    if (!lib().fetchRow(m_table.get())) {
        if (m_rowsRead != m_rowCount)
            m_database.fail(QStringLiteral("the file is damaged (table %1 holds %2 rows, of which %3 could be read)")
                                .arg(m_layout.name)
                                .arg(m_rowCount)
                                .arg(m_rowsRead));
        return false;
    }
    ++m_rowsRead;
    if (m_rowsRead > m_rowCount)
        m_database.fail(QStringLiteral("the file is damaged (table %1 holds more rows than it counts)").arg(m_layout.name));

    // The row just fetched is still on the page: crack it again to learn which values are
    // NULL, which libmdb's bound values do not tell for text.
    int rowStart = 0;
    size_t rowSize = 0;
    if (lib().findRow(mdb, int(m_table->cur_row) - 1, &rowStart, &rowSize) != 0)
        failAtRow(QStringLiteral("the row cannot be found again"));
    std::vector<MdbField> fields(m_table->num_cols);
    const int fieldCount = lib().crackRow(m_table.get(), rowStart & 0x1fff, rowSize, fields.data());
    if (fieldCount != int(m_table->num_cols))
        failAtRow(QStringLiteral("the row cannot be read"));
    std::vector<MdbFieldView> views(m_table->num_cols);
    for (const MdbField &field : fields) {
        if (field.colnum < 0 || field.colnum >= int(m_table->num_cols) || field.start < 0 || field.siz < 0
            || field.start + field.siz > mdb->fmt->pg_size)
            failAtRow(QStringLiteral("a value lies outside its page"));
        views[field.colnum] = MdbFieldView{field.is_null != 0, field.start, field.siz};
    }

    row.clear();
    m_currentId = QVariant();
    for (int column = 0; column < m_layout.columns.size(); ++column) {
        row.append(readValue(column, views[m_columnIndex[column]]));
        if (column == 0)
            m_currentId = row.first();
    }
    if (row.first().isNull())
        failAtRow(QStringLiteral("a row has no ID"));
    return true;
}

QVariant JetTable::readValue(int column, const MdbFieldView &field)
{
    if (field.isNull)
        return QVariant();
    MdbHandle *mdb = m_database.handle().mdb;
    const char *bytes = reinterpret_cast<const char *>(mdb->pg_buf) + field.start;
    switch (m_layout.columns[column].type) {
    case JetColumnType::Long:
        if (field.size != 4)
            failAtRow(QStringLiteral("the number in %1 is damaged").arg(m_layout.columns[column].name));
        return QVariant(qint64(qint32(lib().getInt32(mdb->pg_buf, field.start))));
    case JetColumnType::Text: {
        const std::optional<QString> text = m_database.decoder().decode(bytes, field.size);
        if (!text)
            failAtRow(QStringLiteral("%1 holds no valid text").arg(m_layout.columns[column].name));
        return *text;
    }
    case JetColumnType::Memo:
        return readMemo(column, field);
    }
    return QVariant();
}

// A memo is a 12-byte reference on the row: its length and where it lies (on the row
// itself, on one long-value page or on a chain of them). libmdb reads it a piece at a time;
// the pieces must add up to the length, and a chain that comes back on itself is damage.
QString JetTable::readMemo(int column, const MdbFieldView &field)
{
    const QString &name = m_layout.columns[column].name;
    MdbHandle *mdb = m_database.handle().mdb;
    if (field.size < MDB_MEMO_OVERHEAD)
        failAtRow(QStringLiteral("the memo %1 is damaged").arg(name));
    unsigned char reference[MDB_MEMO_OVERHEAD];
    memcpy(reference, mdb->pg_buf + field.start, MDB_MEMO_OVERHEAD);
    const quint32 header = quint32(lib().getInt32(reference, 0));
    const quint32 length = header & MemoLengthMask;
    const quint32 flags = header & MemoFlagsMask;
    if (flags != MemoInline && flags != MemoOnePage && flags != 0)
        failAtRow(QStringLiteral("the memo %1 is damaged").arg(name));

    auto *mdbColumn = static_cast<MdbColumn *>(g_ptr_array_index(m_table->columns, m_columnIndex[column]));
    mdbColumn->cur_value_start = field.start;
    mdbColumn->cur_value_len = field.size;
    QByteArray value;
    value.reserve(length);
    {
        const ChunkBinding binding(mdbColumn, m_chunk);
        size_t piece = lib().oleRead(mdb, mdbColumn, reference, size_t(m_chunk.size()));
        value.append(m_chunk.constData(), qsizetype(piece));
        QSet<quint32> visited;
        while (flags == 0 && value.size() < qsizetype(length)) {
            if (visited.contains(mdbColumn->cur_blob_pg_row))
                failAtRow(QStringLiteral("the memo %1 is damaged").arg(name));
            visited.insert(mdbColumn->cur_blob_pg_row);
            piece = lib().oleReadNext(mdb, mdbColumn, reference);
            if (piece == 0)
                break;
            value.append(m_chunk.constData(), qsizetype(piece));
        }
    }
    if (value.size() != qsizetype(length))
        failAtRow(QStringLiteral("the memo %1 is damaged (%2 of its %3 bytes could be read)")
                      .arg(name)
                      .arg(value.size())
                      .arg(length));
    const std::optional<QString> text = m_database.decoder().decode(value.constData(), value.size());
    if (!text)
        failAtRow(QStringLiteral("the memo %1 holds no valid text").arg(name));
    return *text;
}

void JetTable::failAtRow(const QString &problem) const
{
    const QString where = m_currentId.isValid() ? QStringLiteral("table %1, row with ID %2").arg(m_layout.name).arg(m_currentId.toLongLong())
                                                : QStringLiteral("table %1, row %2").arg(m_layout.name).arg(m_rowsRead);
    m_database.fail(QStringLiteral("the file is damaged (%1: %2)").arg(where, problem));
}
