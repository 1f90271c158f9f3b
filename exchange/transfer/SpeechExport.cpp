#include "SpeechExport.h"

#include "Database.h"
#include "EDatabaseError.h"
#include "ETransferError.h"
#include "LanguageNames.h"
#include "RecordWriter.h"
#include "Statement.h"

#include <QFileInfo>
#include <QSaveFile>
#include <limits>

namespace {

// Rows read at a time: a server sends a statement's whole result at once.
constexpr int RowsPerRead = 10000;

// The speeches an export writes, for its progress.
qint64 countToWrite(Database &database, const QVariant &languageId)
{
    Statement count(&database, QStringLiteral(R"(SELECT count(*) FROM "Speeches" AS s JOIN "Taal" AS t )"
                                              R"(ON t."ID" = s."TaalID" %1)")
                                   .arg(languageId.isNull() ? QString() : QStringLiteral(R"(WHERE s."TaalID" = ?)")));
    if (!languageId.isNull())
        count.bind(1, languageId);
    return count.step() ? count.columnInt64(0) : 0;
}

} // namespace

namespace SpeechExport {

qint64 write(Database &database, RecordWriter &writer, const QString &language, const TransferProgress &progress)
{
    QVariant languageId;
    if (!language.isEmpty()) {
        languageId = LanguageNames(database).find(language);
        if (languageId.isNull())
            throw EDatabaseError(QStringLiteral("The library has no language %1").arg(language));
    }
    Statement read(&database, QStringLiteral(R"(SELECT s."ID", t."Taal", s."Keywords", s."Tekst", s."Comments" )"
                                             R"(FROM "Speeches" AS s JOIN "Taal" AS t ON t."ID" = s."TaalID" )"
                                             R"(WHERE s."ID" > ? %1 ORDER BY s."ID" LIMIT %2)")
                                  .arg(languageId.isNull() ? QString() : QStringLiteral(R"(AND s."TaalID" = ?)"))
                                  .arg(RowsPerRead));
    const qint64 total = progress ? countToWrite(database, languageId) : 0;
    qint64 written = 0;
    qint64 lastId = std::numeric_limits<qint64>::min();
    TransferRecord record;
    for (int rowsRead = RowsPerRead; rowsRead == RowsPerRead;) {
        rowsRead = 0;
        read.bind(1, lastId);
        if (!languageId.isNull())
            read.bind(2, languageId);
        while (read.step()) {
            record.id = read.columnValue(0);
            record.language = read.columnValue(1).toString();
            record.keywords = read.columnValue(2);
            record.text = read.columnValue(3);
            record.comments = read.columnValue(4);
            writer.write(record);
            lastId = record.id.toLongLong();
            ++rowsRead;
        }
        read.reset();
        written += rowsRead;
        reportTransferProgress(progress, written, total);
    }
    writer.finish();
    return written;
}

qint64 toFile(const QString &dataSource, const QString &outPath, TransferFormat format, const QString &language)
{
    if (QFileInfo::exists(outPath))
        throw ETransferError(QStringLiteral("%1 already exists; it is left as it is").arg(outPath));
    const std::unique_ptr<Database> database = openDatabase(dataSource, nullptr);
    return toFile(*database, outPath, format, language);
}

qint64 toFile(Database &database, const QString &outPath, TransferFormat format, const QString &language,
              const TransferProgress &progress)
{
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly))
        throw ETransferError(QStringLiteral("Cannot write %1: %2").arg(outPath, out.errorString()));
    const qint64 written = write(database, *RecordWriter::open(format, out), language, progress);
    if (!out.commit())
        throw ETransferError(QStringLiteral("Cannot write %1: %2").arg(outPath, out.errorString()));
    return written;
}

QString describe(qint64 written, const QString &outPath)
{
    return QStringLiteral("Exported %1 %2 into %3").arg(written).arg(QLatin1String(written == 1 ? "speech" : "speeches"), outPath);
}

} // namespace SpeechExport
