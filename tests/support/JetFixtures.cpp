#include "JetFixtures.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QtEndian>
#include <sqlite3.h>

namespace JetFixtures {

namespace {

const QStringList LanguageColumns{QStringLiteral("ID"), QStringLiteral("Taal")};
const QStringList SpeechColumns{QStringLiteral("ID"), QStringLiteral("TaalID"), QStringLiteral("Keywords"),
                                QStringLiteral("Tekst"), QStringLiteral("Comments")};

QString describe(const QJsonValue &value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    if (value.isDouble())
        return QString::number(qint64(value.toDouble()));
    const QString text = value.toString();
    return QStringLiteral("\"%1\" (%2 characters)").arg(text.left(40)).arg(text.size());
}

// The table's rows by ID, each value as JSON: null, a number or a string.
QMap<qint64, QJsonObject> storedRows(sqlite3 *db, const QString &table, const QStringList &columns)
{
    QMap<qint64, QJsonObject> rows;
    sqlite3_stmt *statement = nullptr;
    const QByteArray sql = QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), table).toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
        return rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QJsonObject row;
        for (int i = 0; i < columns.size(); ++i) {
            switch (sqlite3_column_type(statement, i)) {
            case SQLITE_NULL:
                row.insert(columns[i], QJsonValue::Null);
                break;
            case SQLITE_INTEGER:
                row.insert(columns[i], double(sqlite3_column_int64(statement, i)));
                break;
            default:
                row.insert(columns[i], QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, i)),
                                                         sqlite3_column_bytes(statement, i)));
            }
        }
        rows.insert(sqlite3_column_int64(statement, 0), row);
    }
    sqlite3_finalize(statement);
    return rows;
}

QJsonObject expectedDocument(const QString &jsonPath)
{
    return QJsonDocument::fromJson(read(jsonPath)).object();
}

} // namespace

QString jet4Path()
{
    return QStringLiteral(TINLARK_JET_FIXTURES "/speeches-jet4-a2000.mdb");
}

QString jet3Path()
{
    return QStringLiteral(TINLARK_JET_FIXTURES "/speeches-jet3-cp1252.mdb");
}

QString expectedJsonOf(const QString &jetPath)
{
    QString json = jetPath;
    json.replace(QStringLiteral(".mdb"), QStringLiteral(".expected.json"));
    return json;
}

QStringList differencesFromExpected(const QString &sqlitePath, const QString &jsonPath)
{
    QStringList differences;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(sqlitePath.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {QStringLiteral("cannot open %1").arg(sqlitePath)};
    }
    const QJsonObject expected = expectedDocument(jsonPath);
    for (const auto &[table, columns] : {std::pair{QStringLiteral("Taal"), LanguageColumns},
                                         std::pair{QStringLiteral("Speeches"), SpeechColumns}}) {
        QMap<qint64, QJsonObject> stored = storedRows(db, table, columns);
        for (const QJsonValue &value : expected.value(table).toArray()) {
            const QJsonObject row = value.toObject();
            const qint64 id = qint64(row.value(QStringLiteral("ID")).toDouble());
            if (!stored.contains(id)) {
                differences.append(QStringLiteral("%1 %2 is missing").arg(table).arg(id));
                continue;
            }
            const QJsonObject got = stored.take(id);
            for (const QString &column : columns) {
                if (got.value(column) != row.value(column))
                    differences.append(QStringLiteral("%1 %2 %3: %4 instead of %5")
                                           .arg(table)
                                           .arg(id)
                                           .arg(column, describe(got.value(column)), describe(row.value(column))));
            }
        }
        for (auto extra = stored.constBegin(); extra != stored.constEnd(); ++extra)
            differences.append(QStringLiteral("%1 %2 should not be there").arg(table).arg(extra.key()));
    }
    sqlite3_close(db);
    return differences;
}

QList<qint64> deletedIds(const QString &jsonPath, const QString &table)
{
    QList<qint64> ids;
    for (const QJsonValue &id : expectedDocument(jsonPath).value(QStringLiteral("deletedIDs")).toObject().value(table).toArray())
        ids.append(qint64(id.toDouble()));
    return ids;
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

void xorHeader(QByteArray &file, int offset, const QByteArray &bits)
{
    for (int i = 0; i < bits.size(); ++i)
        file[offset + i] = char(file[offset + i] ^ bits[i]);
}

qsizetype jet3TableDefinition(const QByteArray &file, int rows, int lastId)
{
    constexpr qsizetype PageSize = 2048;
    qsizetype found = -1;
    for (qsizetype page = PageSize; page + PageSize <= file.size(); page += PageSize) {
        const auto *bytes = reinterpret_cast<const uchar *>(file.constData() + page);
        if (bytes[0] == 0x02 && bytes[1] == 0x01 && qFromLittleEndian<qint32>(bytes + 12) == rows
            && qFromLittleEndian<qint32>(bytes + 16) == lastId) {
            if (found >= 0)
                return -1;
            found = page;
        }
    }
    return found;
}

} // namespace JetFixtures
