#pragma once

#include "Schema.h"

#include <QByteArrayList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sqlite3.h>

// The in-memory library of a fuzz target, made from an input of at most 4 KB (a larger one
// gives none): the schema, what the target adds to it (an index and its triggers), then each
// line of the input after the first as a speech of language 1 or 2 in turn (at most 32). With
// columns 1 the line is the keywords; with 3 it is keywords, text and comments parted by tabs.
// Raw bytes, as another program may store them: they need not be UTF-8. The first line is what
// the target searches for. The caller closes the database.
struct FuzzLibrary
{
    sqlite3 *db;
    QByteArray firstLine;
};

inline std::optional<FuzzLibrary> openFuzzLibrary(const uint8_t *data, size_t size, int columns,
                                                  const std::function<void(sqlite3 *)> &prepare)
{
    if (size > 4096)
        return std::nullopt;
    const QByteArrayList lines = QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\n');
    sqlite3 *db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK)
        std::abort();
    Schema::create(db);
    prepare(db);
    sqlite3_stmt *add = nullptr;
    sqlite3_prepare_v2(db,
                       columns == 1 ? "INSERT INTO Speeches (TaalID, Keywords) VALUES (?, ?)"
                                    : "INSERT INTO Speeches (TaalID, Keywords, Tekst, Comments) VALUES (?, ?, ?, ?)",
                       -1, &add, nullptr);
    for (qsizetype i = 1; i < lines.size() && i <= 32; ++i) {
        const QByteArrayList texts = columns == 1 ? QByteArrayList{lines[i]} : lines[i].split('\t');
        sqlite3_bind_int(add, 1, 1 + int(i % 2));
        for (int column = 0; column < columns; ++column) {
            const QByteArray text = texts.value(column);
            sqlite3_bind_text(add, 2 + column, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(add);
        sqlite3_reset(add);
    }
    sqlite3_finalize(add);
    return FuzzLibrary{db, lines.first()};
}
