// Fuzz target of the filter text reader: every input is read as a record set's filter over
// the speech list's fields. A text it refuses is fine; a text it accepts must become a
// condition that SQLite takes as it stands, with one bound value for each placeholder, so
// that no filter text can change the statement it is put into.

#include "EDatabaseError.h"
#include "FilterExpression.h"
#include "LikeFunction.h"
#include "Schema.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace {

const QStringList Columns = {QStringLiteral("ID"), QStringLiteral("TaalID"), QStringLiteral("Keywords"),
                             QStringLiteral("Tekst"), QStringLiteral("Comments")};

sqlite3 *speechDatabase()
{
    static sqlite3 *db = [] {
        sqlite3 *opened = nullptr;
        if (sqlite3_open(":memory:", &opened) != SQLITE_OK)
            std::abort();
        Schema::create(opened);
        registerLikeFunction(opened);
        sqlite3_exec(opened, "INSERT INTO Taal (Taal) VALUES ('English');"
                             "INSERT INTO Speeches (TaalID, Keywords, Tekst) VALUES (1, 'hello', 'Hello there')",
                     nullptr, nullptr, nullptr);
        return opened;
    }();
    return db;
}

[[noreturn]] void finding(const char *what, const QString &filter, const QString &sql)
{
    std::fprintf(stderr, "%s\nfilter: %s\nsql: %s\n", what, filter.toUtf8().constData(), sql.toUtf8().constData());
    std::abort();
}

void runAccepted(const QString &filter, const FilterExpression &expression)
{
    if (expression.isEmpty())
        return;
    const QByteArray sql = QStringLiteral("SELECT \"ID\" FROM Speeches WHERE (%1)").arg(expression.sql()).toUtf8();
    sqlite3 *db = speechDatabase();
    sqlite3_stmt *statement = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, &tail) != SQLITE_OK)
        finding("an accepted filter is no valid condition", filter, expression.sql());
    if (tail && *tail)
        finding("an accepted filter ends the statement early", filter, expression.sql());
    if (sqlite3_bind_parameter_count(statement) != expression.values().size())
        finding("placeholders and values differ in number", filter, expression.sql());
    for (int i = 0; i < expression.values().size(); ++i) {
        const QVariant &value = expression.values()[i];
        if (value.typeId() == QMetaType::QString) {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        } else if (value.typeId() == QMetaType::Double) {
            sqlite3_bind_double(statement, i + 1, value.toDouble());
        } else {
            sqlite3_bind_int64(statement, i + 1, value.toLongLong());
        }
    }
    while (sqlite3_step(statement) == SQLITE_ROW) {
    }
    sqlite3_finalize(statement);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString filter = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    FilterExpression expression;
    try {
        expression = FilterExpression::parse(filter, Columns);
    } catch (const EDatabaseError &) {
        return 0;
    }
    runAccepted(filter, expression);
    return 0;
}
