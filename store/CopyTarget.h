#pragma once

#include "SchemaTextLimits.h"

#include <QString>
#include <memory>

class Database;

// Where tinlark-makedb --copy writes a library: a new file or an empty database on a server.
// Everything goes in one transaction: until commit, abandoning it leaves no trace of the copy.
class CopyTarget
{
public:
    virtual ~CopyTarget() = default;

    // Opens the target a data source names, with its tables ready and its transaction begun.
    // Refuses an existing file and a server database that holds any row. limits are those of
    // the library copied in, for the tables a new target gets.
    static std::unique_ptr<CopyTarget> open(const QString &dataSource, Schema::TextLimits limits);

    virtual Database &database() = 0;
    // New rows of each table are numbered after the given IDs (or after the highest stored).
    virtual void continueIds(qint64 lastLanguageId, qint64 lastSpeechId) = 0;
    virtual void commit() = 0;
    // Undoes the copy: a new file is removed, a server's transaction rolled back.
    virtual void abandon() noexcept = 0;
    // The target for messages; never a password.
    virtual QString describe() const = 0;
};
