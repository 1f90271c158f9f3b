#include "SpeechHistory.h"

#include "Connection.h"
#include "EDatabaseError.h"
#include "Field.h"
#include "RecordSet.h"
#include "Statement.h"
#include "TransactionGuard.h"

#include <QDateTime>

namespace {

const QString VersionColumns = QStringLiteral(
    "h.\"ID\", h.\"SpeechID\", h.\"TaalID\", h.\"Keywords\", h.\"Tekst\", h.\"Comments\", h.\"Change\", h.\"ChangedAt\", "
    "h.\"ChangedBy\"");

// Deleted speeches: the last version of a speech that is not there, when that version is its delete.
const QString DeletedCondition = QStringLiteral(
    "h.\"Change\" = 'delete' AND NOT EXISTS (SELECT 1 FROM \"Speeches\" s WHERE s.\"ID\" = h.\"SpeechID\") "
    "AND NOT EXISTS (SELECT 1 FROM \"SpeechHistory\" n WHERE n.\"SpeechID\" = h.\"SpeechID\" AND n.\"ID\" > h.\"ID\")");

QString textAt(const Statement &row, int column)
{
    return row.columnValue(column).toString();
}

std::vector<SpeechVersion> readVersions(Connection &connection, const QString &sql, const QVariantList &values = {})
{
    Statement statement(connection.handle(), sql);
    statement.bindAll(values);
    std::vector<SpeechVersion> versions;
    while (statement.step())
        versions.push_back({statement.columnInt64(0), statement.columnInt64(1), statement.columnValue(2),
                            textAt(statement, 3), textAt(statement, 4), textAt(statement, 5), textAt(statement, 6),
                            textAt(statement, 7), textAt(statement, 8)});
    return versions;
}

bool languageExists(Database *db, const QVariant &languageId)
{
    if (languageId.isNull())
        return false;
    Statement statement(db, QStringLiteral("SELECT count(*) FROM \"Taal\" WHERE \"ID\" = ?"));
    statement.bind(1, languageId);
    return statement.step() && statement.columnInt64(0) > 0;
}

} // namespace

namespace SpeechHistory {

bool available(Connection &connection)
{
    try {
        connection.scalar(QStringLiteral("SELECT count(*) FROM \"SpeechHistory\" WHERE \"ID\" = 0"));
        return true;
    } catch (const EDatabaseError &) {
        return false;
    }
}

std::vector<SpeechVersion> versionsOf(Connection &connection, qint64 speechId)
{
    return readVersions(connection,
                        QStringLiteral("SELECT %1 FROM \"SpeechHistory\" h WHERE h.\"SpeechID\" = ? ORDER BY h.\"ID\" DESC")
                            .arg(VersionColumns),
                        {speechId});
}

std::vector<SpeechVersion> deletedSpeeches(Connection &connection, qint64 languageId)
{
    return readVersions(connection,
                        QStringLiteral("SELECT %1 FROM \"SpeechHistory\" h WHERE h.\"TaalID\" = ? AND %2 ORDER BY h.\"ID\" DESC")
                            .arg(VersionColumns, DeletedCondition),
                        {languageId});
}

std::vector<SpeechVersion> speechesWithoutLanguage(Connection &connection)
{
    const QString noLanguage = QStringLiteral("NOT EXISTS (SELECT 1 FROM \"Taal\" t WHERE t.\"ID\" = h.\"TaalID\")");
    std::vector<SpeechVersion> speeches = readVersions(
        connection, QStringLiteral("SELECT 0, h.\"ID\", h.\"TaalID\", h.\"Keywords\", h.\"Tekst\", h.\"Comments\", "
                                   "'current', '', '' FROM \"Speeches\" h WHERE %1 ORDER BY h.\"ID\"")
                        .arg(noLanguage));
    if (available(connection)) {
        const std::vector<SpeechVersion> deleted = readVersions(
            connection, QStringLiteral("SELECT %1 FROM \"SpeechHistory\" h WHERE %2 AND %3 ORDER BY h.\"SpeechID\"")
                            .arg(VersionColumns, DeletedCondition, noLanguage));
        speeches.insert(speeches.end(), deleted.begin(), deleted.end());
    }
    return speeches;
}

void restoreVersion(RecordSet &speeches, const SpeechVersion &version)
{
    if (speeches.currentKey() != version.speechId)
        throw EDatabaseError(QStringLiteral("The version belongs to speech %1, which is not the current speech")
                                 .arg(version.speechId));
    // The text, keywords and comments; the speech stays in the language it is shown in.
    speeches.edit();
    speeches.fieldByName(QStringLiteral("Keywords"))->setAsString(version.keywords);
    speeches.fieldByName(QStringLiteral("Tekst"))->setAsString(version.text);
    speeches.fieldByName(QStringLiteral("Comments"))->setAsString(version.comments);
    speeches.post();
}

void restoreSpeech(Connection &connection, const SpeechVersion &speech, std::optional<qint64> intoLanguage)
{
    Database *db = connection.handle();
    const QVariant language = intoLanguage ? QVariant(*intoLanguage) : speech.languageId;
    TransactionGuard transaction(db);
    if (!languageExists(db, language))
        throw EDatabaseError(intoLanguage ? QStringLiteral("The language chosen for speech %1 no longer exists")
                                                .arg(speech.speechId)
                                          : QStringLiteral("The language of speech %1 no longer exists; choose one "
                                                           "to restore it into")
                                                .arg(speech.speechId));
    Statement present(db, QStringLiteral("SELECT count(*) FROM \"Speeches\" WHERE \"ID\" = ?"));
    present.bind(1, speech.speechId);
    const bool exists = present.step() && present.columnInt64(0) > 0;
    present.reset();
    if (speech.historyId == 0) {
        if (!exists)
            throw EDatabaseError(QStringLiteral("Speech %1 no longer exists").arg(speech.speechId));
        Statement(db, QStringLiteral("UPDATE \"Speeches\" SET \"TaalID\" = ? WHERE \"ID\" = ?"))
            .execute({language, speech.speechId});
    } else {
        if (exists)
            throw EDatabaseError(QStringLiteral("Speech %1 exists already; it was restored before").arg(speech.speechId));
        Statement(db, QStringLiteral("INSERT INTO \"Speeches\" (\"ID\", \"TaalID\", \"Keywords\", \"Tekst\", "
                                     "\"Comments\") VALUES (?, ?, ?, ?, ?)"))
            .execute({speech.speechId, language, speech.keywords, speech.text, speech.comments});
    }
    transaction.commit();
}

void prune(Connection &connection, const Limits &limits)
{
    if (!connection.readOnlyReason().isEmpty() || !available(connection))
        return;
    Database *db = connection.handle();
    const int versions = std::max(0, limits.versions);
    const QString cutoff = QDateTime::currentDateTimeUtc()
                               .addDays(-std::max(0, limits.daysDeleted))
                               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    try {
        TransactionGuard transaction(db);
        Statement(db, QStringLiteral("UPDATE \"TinlarkHistoryLimit\" SET \"Versions\" = ? WHERE \"Versions\" <> ?"))
            .execute({versions, versions});
        Statement(db, QStringLiteral("DELETE FROM \"SpeechHistory\" WHERE \"SpeechID\" IN (SELECT h.\"SpeechID\" FROM "
                                     "\"SpeechHistory\" h WHERE %1 AND h.\"ChangedAt\" < ?)")
                          .arg(DeletedCondition))
            .execute({cutoff});
        transaction.commit();
    } catch (const EDatabaseError &) {
        // A user who may not write the library's history leaves it to its owner.
    }
}

} // namespace SpeechHistory
