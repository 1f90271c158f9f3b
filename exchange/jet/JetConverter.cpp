#include "JetConverter.h"

#include "ConvertedDatabase.h"
#include "EAbort.h"
#include "EDatabaseError.h"
#include "FileMoves.h"
#include "JetDatabase.h"
#include "JetTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cstring>

namespace {

constexpr int OwnTextLimit = 50;

// Counts the steps of a conversion and asks whether to go on.
class ProgressCounter
{
public:
    ProgressCounter(const JetProgress &progress, qint64 total) : m_progress(progress), m_total(total) { report(); }
    void step()
    {
        ++m_done;
        report();
    }

private:
    void report()
    {
        if (m_progress && !m_progress(m_done, m_total))
            throw EAbort();
    }
    const JetProgress &m_progress;
    qint64 m_total;
    qint64 m_done = 0;
};

// The new file under its private name: removed, with any journal, unless it was placed.
class PrivateFile
{
public:
    explicit PrivateFile(const QString &newPath)
    {
        const QFileInfo target(newPath);
        QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".XXXXXX"));
        file.setAutoRemove(false);
        if (!file.open())
            throw EDatabaseError(QStringLiteral("Cannot write %1: %2")
                                     .arg(QDir::toNativeSeparators(newPath), file.errorString()));
        // A speech library is private: the file keeps the owner-only mode it was made with.
        m_path = file.fileName();
    }
    ~PrivateFile()
    {
        if (!m_placed) {
            QFile::remove(m_path);
            QFile::remove(m_path + QStringLiteral("-journal"));
        }
    }
    PrivateFile(const PrivateFile &) = delete;
    PrivateFile &operator=(const PrivateFile &) = delete;

    const QString &path() const { return m_path; }
    void place(const QString &newPath)
    {
        const int error = FileMoves::renameWithoutReplacing(m_path, newPath);
        if (error != 0)
            throw EDatabaseError(QStringLiteral("Cannot write %1: %2")
                                     .arg(QDir::toNativeSeparators(newPath), QString::fromLocal8Bit(std::strerror(error))));
        m_placed = true;
        FileMoves::syncFolderOf(newPath);
    }

private:
    QString m_path;
    bool m_placed = false;
};

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    return a.typeId() == b.typeId() && a == b;
}

bool sameRow(const QVariantList &a, const QVariantList &b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), sameValue);
}

// What the file says of a table before it is read: its rows and the width of its text column.
struct TableFacts
{
    qint64 rows = 0;
    int textWidth = 0;
};

// libmdb reads one table of a file at a time: each table is opened, read and let go in turn.
TableFacts factsOf(JetDatabase &jet, const JetTableLayout &layout, int textColumn)
{
    const std::unique_ptr<JetTable> table = jet.table(layout);
    return {table->rowCount(), table->declaredLength(textColumn)};
}

// Reads every row of a table, one step of the progress each; returns the autonumber's last value.
qint64 forEachRow(JetDatabase &jet, const JetTableLayout &layout, ProgressCounter &progress,
                  const std::function<void(const QVariantList &)> &visit)
{
    const std::unique_ptr<JetTable> table = jet.table(layout);
    QVariantList row;
    while (table->next(row)) {
        visit(row);
        progress.step();
    }
    return table->lastAutoNumber();
}

void copyTable(JetDatabase &jet, const JetTableLayout &layout, ConvertedDatabase &to, ProgressCounter &progress)
{
    qint64 highest = 0;
    const qint64 lastAutoNumber = forEachRow(jet, layout, progress, [&](const QVariantList &row) {
        to.insert(layout, row);
        highest = std::max(highest, row.first().toLongLong());
    });
    to.continueNumbering(layout, std::max(highest, lastAutoNumber));
}

// Reads the Jet table again and finds each of its rows, equal, in the new file.
void checkTable(JetDatabase &jet, const JetTableLayout &layout, ConvertedDatabase &converted, ProgressCounter &progress)
{
    qint64 rows = 0;
    forEachRow(jet, layout, progress, [&](const QVariantList &row) {
        const std::optional<QVariantList> stored = converted.row(layout, row.first().toLongLong());
        if (!stored || !sameRow(*stored, row))
            jet.fail(QStringLiteral("the row of %1 with ID %2 did not read back the same from the converted file")
                         .arg(layout.name)
                         .arg(row.first().toLongLong()));
        ++rows;
    });
    if (converted.rowCount(layout) != rows)
        jet.fail(QStringLiteral("the converted file holds another number of rows in %1").arg(layout.name));
}

} // namespace

JetConversion JetConverter::convert(const QString &jetPath, const QString &newPath, const JetProgress &progress)
{
    if (QFileInfo::exists(newPath))
        throw EDatabaseError(QStringLiteral("%1 already exists; it is left as it is").arg(QDir::toNativeSeparators(newPath)));
    JetDatabase jet(jetPath);
    const TableFacts languages = factsOf(jet, SpeechTables::languages(), 1);
    const TableFacts speeches = factsOf(jet, SpeechTables::speeches(), 2);
    ProgressCounter counter(progress, 2 * (languages.rows + speeches.rows));

    // A text column wider in the old file than here keeps its width, so that no value is cut.
    const Schema::TextLimits limits{std::max(OwnTextLimit, languages.textWidth), std::max(OwnTextLimit, speeches.textWidth)};
    PrivateFile file(newPath);
    {
        ConvertedDatabase converted = ConvertedDatabase::create(file.path(), newPath, limits);
        copyTable(jet, SpeechTables::languages(), converted, counter);
        copyTable(jet, SpeechTables::speeches(), converted, counter);
        converted.commit();
    }

    JetDatabase again(jetPath);
    ConvertedDatabase converted = ConvertedDatabase::open(file.path(), newPath);
    checkTable(again, SpeechTables::languages(), converted, counter);
    checkTable(again, SpeechTables::speeches(), converted, counter);
    const JetConversion result{converted.rowCount(SpeechTables::languages()), converted.rowCount(SpeechTables::speeches())};
    file.place(newPath);
    return result;
}
