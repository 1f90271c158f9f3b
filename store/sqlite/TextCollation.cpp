#include "TextCollation.h"

#include "EDatabaseError.h"

#include <algorithm>
#include <cstring>
#include <sqlite3.h>
#include <unicode/ucol.h>

namespace TextCollation {

namespace {

int compare(void *collator, int leftLength, const void *left, int rightLength, const void *right)
{
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = ucol_strcollUTF8(static_cast<UCollator *>(collator),
                                                     static_cast<const char *>(left), leftLength,
                                                     static_cast<const char *>(right), rightLength, &status);
    if (U_SUCCESS(status))
        return int(result);
    // Text ICU cannot read: the order of the bytes, so that sorting still ends.
    const int common = std::memcmp(left, right, size_t(std::min(leftLength, rightLength)));
    return common != 0 ? common : leftLength - rightLength;
}

void closeCollator(void *collator)
{
    ucol_close(static_cast<UCollator *>(collator));
}

} // namespace

void install(sqlite3 *db)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator *collator = ucol_open("", &status);
    if (U_FAILURE(status))
        throw EDatabaseError(QStringLiteral("Cannot sort text: %1").arg(QString::fromLatin1(u_errorName(status))));
    // Once installed, SQLite closes the collator with the connection.
    const int rc = sqlite3_create_collation_v2(db, Name, SQLITE_UTF8, collator, compare, closeCollator);
    if (rc != SQLITE_OK) {
        ucol_close(collator);
        throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
    }
}

} // namespace TextCollation
