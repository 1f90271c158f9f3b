#include "LikeFunction.h"

#include "EDatabaseError.h"
#include "LikePattern.h"

#include <sqlite3.h>

namespace {

std::string_view textOf(sqlite3_value *value)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(value));
    return text ? std::string_view(text, size_t(sqlite3_value_bytes(value))) : std::string_view();
}

void deletePattern(void *pattern)
{
    delete static_cast<LikePattern *>(pattern);
}

// like(pattern, text): SQLite calls it for "text LIKE pattern".
void likeFunction(sqlite3_context *context, int, sqlite3_value **arguments)
{
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL || sqlite3_value_type(arguments[1]) == SQLITE_NULL)
        return; // the result stays NULL, as with the built-in Like
    // The pattern of a statement is the same for every row: compile it once.
    auto *pattern = static_cast<LikePattern *>(sqlite3_get_auxdata(context, 0));
    if (!pattern) {
        pattern = new LikePattern(textOf(arguments[0]));
        sqlite3_set_auxdata(context, 0, pattern, deletePattern);
        pattern = static_cast<LikePattern *>(sqlite3_get_auxdata(context, 0));
        if (!pattern) {
            sqlite3_result_error_nomem(context);
            return;
        }
    }
    sqlite3_result_int(context, pattern->matches(textOf(arguments[1])) ? 1 : 0);
}

} // namespace

void registerLikeFunction(sqlite3 *db)
{
    const int rc = sqlite3_create_function_v2(db, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                              nullptr, likeFunction, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw EDatabaseError(QString::fromUtf8(sqlite3_errmsg(db)));
}
