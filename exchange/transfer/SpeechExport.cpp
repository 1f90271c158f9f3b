#include "SpeechExport.h"

#include "Database.h"
#include "EDatabaseError.h"
#include "ETransferError.h"
#include "LanguageNames.h"
#include "RecordWriter.h"
#include "Statement.h"

#include "FileMoves.h"
#include "NewPrivateFile.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <cerrno>
#include <cstring>
#include <limits>
#include <unistd.h>

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

qint64 toFile(const QString &dataSource, const QString &outPath, TransferFormat format, const QString &language,
              CsvCells cells)
{
    if (QFileInfo::exists(outPath))
        throw ETransferError(QStringLiteral("%1 already exists; it is left as it is").arg(outPath));
    const std::unique_ptr<Database> database = openDatabase(dataSource, nullptr);
    return toFile(*database, outPath, format, language, {}, cells);
}

qint64 toFile(Database &database, const QString &outPath, TransferFormat format, const QString &language,
              const TransferProgress &progress, CsvCells cells)
{
    // Written whole under a private name beside the target, then linked to its name, never over
    // what is there: a file, or a link someone planted there to have the speeches written elsewhere.
    const auto failed = [&](const QString &reason) {
        return ETransferError(QStringLiteral("Cannot write %1: %2").arg(outPath, reason));
    };
    QByteArray temporary;
    const int fd = NewPrivateFile::createTemporary(outPath, &temporary);
    if (fd < 0)
        throw failed(QString::fromLocal8Bit(std::strerror(errno)));
    auto removeTemporary = qScopeGuard([&] { ::unlink(temporary.constData()); });
    QFile out;
    if (!out.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw failed(out.errorString());
    }
    const qint64 written = write(database, *RecordWriter::open(format, out, cells), language, progress);
    if (!out.flush())
        throw failed(out.errorString());
    if (::fsync(out.handle()) != 0)
        throw failed(QString::fromLocal8Bit(std::strerror(errno)));
    out.close();
    const int error = FileMoves::renameWithoutReplacing(QFile::decodeName(temporary), outPath);
    if (error == EEXIST)
        throw ETransferError(QStringLiteral("%1 already exists; it is left as it is").arg(outPath));
    if (error != 0)
        throw failed(QString::fromLocal8Bit(std::strerror(error)));
    removeTemporary.dismiss();
    FileMoves::syncFolderOf(outPath);
    return written;
}

QString describe(qint64 written, const QString &outPath)
{
    return QStringLiteral("Exported %1 %2 into %3").arg(written).arg(QLatin1String(written == 1 ? "speech" : "speeches"), outPath);
}

} // namespace SpeechExport
