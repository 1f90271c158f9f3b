#include "SpeechImport.h"

#include "Database.h"
#include "EAbort.h"
#include "ETransferError.h"
#include "LanguageNames.h"
#include "RecordReader.h"
#include "Statement.h"
#include "TransactionGuard.h"
#include "Utf8Text.h"

#include <QFile>
#include <limits>
#include <unordered_map>

namespace {

// A text column's size; 0 when it has none.
int declaredSize(Database &database, const QString &table, const QString &column)
{
    for (const TableColumn &tableColumn : database.tableColumns(table)) {
        if (tableColumn.name.compare(column, Qt::CaseInsensitive) == 0)
            return tableColumn.declaredSize;
    }
    return 0;
}

size_t contentHash(const QVariant &keywords, const QVariant &text, const QVariant &comments)
{
    return qHashMulti(0, keywords.toString(), text.toString(), comments.toString());
}

// The speeches already in a language, read once when the file first names it, to tell a
// speech that is there already. Held as hashes of the content with the ID; a match is
// checked against the stored row.
class LanguageContent
{
public:
    LanguageContent(Database &database, qint64 languageId)
    {
        constexpr int RowsPerRead = 10000;
        Statement read(&database, QStringLiteral(R"(SELECT "ID", "Keywords", "Tekst", "Comments" FROM "Speeches" )"
                                                 R"(WHERE "TaalID" = ? AND "ID" > ? ORDER BY "ID" LIMIT %1)")
                                      .arg(RowsPerRead));
        qint64 lastId = std::numeric_limits<qint64>::min();
        for (int rowsRead = RowsPerRead; rowsRead == RowsPerRead; read.reset()) {
            rowsRead = 0;
            read.bind(1, languageId);
            read.bind(2, lastId);
            for (; read.step(); ++rowsRead) {
                lastId = read.columnInt64(0);
                add(contentHash(read.columnValue(1), read.columnValue(2), read.columnValue(3)), lastId);
            }
        }
    }

    void add(size_t hash, qint64 id) { m_ids.emplace(hash, id); }
    auto candidates(size_t hash) const { return m_ids.equal_range(hash); }

private:
    std::unordered_multimap<size_t, qint64> m_ids;
};

class Merge
{
public:
    explicit Merge(Database &database)
        : m_database(database), m_languages(database),
          m_languageLimit(declaredSize(database, QStringLiteral("Taal"), QStringLiteral("Taal"))),
          m_keywordLimit(declaredSize(database, QStringLiteral("Speeches"), QStringLiteral("Keywords"))),
          m_addLanguage(&database, QStringLiteral(R"(INSERT INTO "Taal" ("Taal") VALUES (?) RETURNING "ID")")),
          m_addSpeech(&database, QStringLiteral(R"(INSERT INTO "Speeches" ("TaalID", "Keywords", "Tekst", "Comments") )"
                                                R"(VALUES (?, ?, ?, ?) RETURNING "ID")")),
          m_stored(&database, QStringLiteral(R"(SELECT "Keywords", "Tekst", "Comments" FROM "Speeches" WHERE "ID" = ?)"))
    {
    }

    void take(const TransferRecord &record)
    {
        check(record);
        const qint64 languageId = languageOf(record.language);
        auto found = m_content.find(languageId);
        if (found == m_content.end())
            found = m_content.try_emplace(languageId, m_database, languageId).first;
        const size_t hash = contentHash(record.keywords, record.text, record.comments);
        const auto [first, last] = found->second.candidates(hash);
        for (auto candidate = first; candidate != last; ++candidate) {
            if (isStored(candidate->second, record)) {
                ++m_counts.skipped;
                return;
            }
        }
        m_addSpeech.bindAll({languageId, record.keywords, record.text, record.comments});
        m_addSpeech.step();
        const qint64 id = m_addSpeech.columnInt64(0);
        m_addSpeech.reset();
        found->second.add(hash, id);
        ++m_counts.added;
    }

    const SpeechImport::Counts &counts() const { return m_counts; }

private:
    void check(const TransferRecord &record) const
    {
        const auto fail = [&record](const QString &reason) {
            throw ETransferError(QStringLiteral("%1: %2").arg(record.place, reason));
        };
        if (record.language.isEmpty())
            fail(QStringLiteral("the speech has no language"));
        if (m_languageLimit > 0 && Utf8Text::codePoints(record.language) > m_languageLimit)
            fail(QStringLiteral("the language name is longer than the library's %1 characters").arg(m_languageLimit));
        if (m_keywordLimit > 0 && Utf8Text::codePoints(record.keywords.toString()) > m_keywordLimit)
            fail(QStringLiteral("the keywords are longer than the library's %1 characters").arg(m_keywordLimit));
        const std::pair<const char *, QString> values[] = {{"Language", record.language},
                                                           {"Keywords", record.keywords.toString()},
                                                           {"Text", record.text.toString()},
                                                           {"Comments", record.comments.toString()}};
        for (const auto &[name, value] : values) {
            if (value.contains(QChar(0)))
                fail(QStringLiteral("the %1 holds a NUL character, which a library cannot keep").arg(name));
        }
    }

    qint64 languageOf(const QString &name)
    {
        const QVariant known = m_languages.find(name);
        if (!known.isNull())
            return known.toLongLong();
        m_addLanguage.bind(1, name);
        m_addLanguage.step();
        const qint64 id = m_addLanguage.columnInt64(0);
        m_addLanguage.reset();
        m_languages.add(name, id);
        ++m_counts.languagesCreated;
        return id;
    }

    bool isStored(qint64 id, const TransferRecord &record)
    {
        m_stored.bind(1, id);
        bool same = m_stored.step() && m_stored.columnValue(0).toString() == record.keywords.toString()
                    && m_stored.columnValue(1).toString() == record.text.toString()
                    && m_stored.columnValue(2).toString() == record.comments.toString();
        m_stored.reset();
        return same;
    }

    Database &m_database;
    LanguageNames m_languages;
    const int m_languageLimit;
    const int m_keywordLimit;
    Statement m_addLanguage;
    Statement m_addSpeech;
    Statement m_stored;
    std::unordered_map<qint64, LanguageContent> m_content;
    SpeechImport::Counts m_counts;
};

} // namespace

namespace SpeechImport {

Counts run(Database &database, RecordReader &reader, Mode mode, const std::function<bool()> &keepGoing)
{
    constexpr qint64 SpeechesBetweenQuestions = 256;
    // A preview makes the same writes as the import and takes them back, so that its counts
    // are what the import will do, a speech given twice in the file included.
    TransactionGuard transaction(&database);
    Merge merge(database);
    TransferRecord record;
    for (qint64 read = 1; reader.next(record); ++read) {
        merge.take(record);
        if (keepGoing && read % SpeechesBetweenQuestions == 0 && !keepGoing())
            throw EAbort();
    }
    if (mode == Mode::Store)
        transaction.commit();
    return merge.counts();
}

Counts fromFile(const QString &inPath, Database &database, TransferFormat format, Mode mode,
                const TransferProgress &progress)
{
    QFile in(inPath);
    if (!in.open(QIODevice::ReadOnly))
        // Callers name the file before the reason.
        throw ETransferError(QStringLiteral("cannot be read: %1").arg(in.errorString()));
    const auto keepGoing = [&] {
        reportTransferProgress(progress, in.pos(), in.size());
        return true;
    };
    return run(database, *RecordReader::open(format, in), mode, progress ? keepGoing : std::function<bool()>());
}

Counts fromFile(const QString &inPath, const QString &dataSource, TransferFormat format, Mode mode)
{
    const std::unique_ptr<Database> database = openDatabase(dataSource, nullptr);
    return fromFile(inPath, *database, format, mode);
}

namespace {

QString counted(qint64 count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

QString describe(const Counts &counts, Mode mode)
{
    const bool preview = mode == Mode::Preview;
    return QStringLiteral("%1 %2 and %3; %4 already there")
        .arg(QLatin1String(preview ? "Would import" : "Imported"), counted(counts.added, "new speech", "new speeches"),
             counted(counts.languagesCreated, "new language", "new languages"),
             counted(counts.skipped, "speech was", "speeches were"));
}

} // namespace SpeechImport
