#include "LibraryCopy.h"

#include "CopyTarget.h"
#include "Database.h"
#include "EDatabaseError.h"
#include "ServerDataSource.h"
#include "Statement.h"

#include <limits>

namespace {

struct CopiedTable
{
    const char *name;
    QStringList columns; // the key first: the rows are read in its order
    bool keyKept;        // otherwise the target numbers the rows itself, in the same order
};

const CopiedTable Languages{"Taal", {"ID", "Taal"}, true};
const CopiedTable Speeches{"Speeches", {"ID", "TaalID", "Keywords", "Tekst", "Comments"}, true};
// What goes with the speeches: their kept versions (deleted speeches' too) and how often each
// was copied to the clipboard.
const CopiedTable Versions{"SpeechHistory",
                           {"ID", "SpeechID", "TaalID", "Keywords", "Tekst", "Comments", "Change", "ChangedAt", "ChangedBy"},
                           false};
const CopiedTable Copies{"SpeechCopies", {"SpeechID", "Copies", "LastCopied"}, true};

QString columnList(const QStringList &columns)
{
    return QLatin1Char('"') + columns.join(QStringLiteral("\", \"")) + QLatin1Char('"');
}

bool hasTable(Database &database, const char *table)
{
    return !database.tableColumns(QString::fromLatin1(table)).isEmpty();
}

// A text column's size in the source, so that a new target holds every value of it.
int textLimit(Database &source, const QString &table, const QString &column, int ownLimit)
{
    for (const TableColumn &tableColumn : source.tableColumns(table)) {
        if (tableColumn.name.compare(column, Qt::CaseInsensitive) == 0)
            return std::max(ownLimit, tableColumn.declaredSize);
    }
    return ownLimit;
}

Schema::TextLimits textLimitsOf(Database &source)
{
    const Schema::TextLimits own;
    return {textLimit(source, QStringLiteral("Taal"), QStringLiteral("Taal"), own.languageName),
            textLimit(source, QStringLiteral("Speeches"), QStringLiteral("Keywords"), own.keywords)};
}

// The highest ID a source ever gave out in a table, deleted rows' too (a file's note of it, a
// server's sequence); 0 when the source keeps no such note.
qint64 lastIdGivenOut(Database &source, const QString &dataSource, const char *table)
{
    const auto single = [&source](const QString &sql, const QString &name) {
        Statement sequence(&source, sql);
        sequence.bind(1, name);
        return sequence.step() ? sequence.columnInt64(0) : 0;
    };
    const QString name = QString::fromLatin1(table);
    if (isServerDataSource(dataSource))
        return single(QStringLiteral("SELECT coalesce(pg_catalog.pg_sequence_last_value(pg_catalog.pg_get_serial_sequence("
                                            "?::pg_catalog.text, 'ID')::pg_catalog.regclass), 0)"),
                      QLatin1Char('"') + name + QLatin1Char('"'));
    try {
        return single(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"), name);
    } catch (const EDatabaseError &) {
        return 0; // a file without AUTOINCREMENT tables has no sqlite_sequence
    }
}

struct TableCopy
{
    qint64 rows = 0;
    qint64 lastId = 0;
};

// Rows read at a time: a server sends a statement's whole result at once, so a large library
// is read in slices of IDs.
constexpr int RowsPerRead = 10000;

// Copies every row of the table in the order of its key; a kept key is named, so it stays.
TableCopy copyTable(Database &source, CopyTarget &target, const CopiedTable &table)
{
    const QStringList written = table.keyKept ? table.columns : table.columns.mid(1);
    const QStringList marks(written.size(), QStringLiteral("?"));
    Statement read(&source, QStringLiteral("SELECT %1 FROM \"%2\" WHERE \"%3\" > ? ORDER BY \"%3\" LIMIT %4")
                                .arg(columnList(table.columns), QLatin1String(table.name), table.columns[0])
                                .arg(RowsPerRead));
    Statement write(&target.database(), QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                            .arg(QLatin1String(table.name), columnList(written),
                                                 marks.join(QStringLiteral(", "))));
    TableCopy copied;
    copied.lastId = std::numeric_limits<qint64>::min();
    for (int rowsRead = RowsPerRead; rowsRead == RowsPerRead;) {
        rowsRead = 0;
        read.bind(1, copied.lastId);
        while (read.step()) {
            QVariantList row;
            for (int column = 0; column < table.columns.size(); ++column)
                row.append(read.columnValue(column));
            copied.lastId = row[0].toLongLong();
            if (!table.keyKept)
                row.removeFirst();
            try {
                write.execute(row);
            } catch (const EDatabaseError &error) {
                throw EDatabaseError(QStringLiteral("Cannot copy the row of %1 with %2 %3 into %4: %5")
                                         .arg(QLatin1String(table.name), table.columns[0]).arg(copied.lastId)
                                         .arg(target.describe(), error.message()));
            }
            ++rowsRead;
        }
        read.reset();
        copied.rows += rowsRead;
    }
    copied.lastId = std::max<qint64>(copied.lastId, 0);
    return copied;
}

} // namespace

namespace LibraryCopy {

Copied copy(const QString &from, const QString &to)
{
    const std::unique_ptr<Database> source = openDatabase(from, nullptr);
    const std::unique_ptr<CopyTarget> target = CopyTarget::open(to, textLimitsOf(*source));
    try {
        const TableCopy languages = copyTable(*source, *target, Languages);
        const TableCopy speeches = copyTable(*source, *target, Speeches);
        qint64 versions = 0;
        for (const CopiedTable *table : {&Versions, &Copies}) {
            if (hasTable(*source, table->name) && hasTable(target->database(), table->name)) {
                const qint64 rows = copyTable(*source, *target, *table).rows;
                versions += table == &Versions ? rows : 0;
            }
        }
        target->continueIds(std::max(languages.lastId, lastIdGivenOut(*source, from, Languages.name)),
                            std::max(speeches.lastId, lastIdGivenOut(*source, from, Speeches.name)));
        target->commit();
        return {languages.rows, speeches.rows, versions, target->describe()};
    } catch (...) {
        target->abandon();
        throw;
    }
}

int copyCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    try {
        const Copied copied = copy(arguments[0], arguments[1]);
        out << "Copied " << copied.languages << (copied.languages == 1 ? " language" : " languages") << " and "
            << copied.speeches << (copied.speeches == 1 ? " speech" : " speeches");
        if (copied.versions > 0)
            out << " with " << copied.versions << (copied.versions == 1 ? " kept version" : " kept versions");
        out << " into " << copied.target << "\n";
    } catch (const EDatabaseError &error) {
        err << "tinlark-makedb: " << error.message() << "\n";
        return 1;
    }
    return 0;
}

} // namespace LibraryCopy
