#pragma once

#include "JetFormat.h"

#include <QString>
#include <functional>

// How far a conversion is, in steps of one row written or checked; answers false to cancel.
using JetProgress = std::function<bool(qint64 done, qint64 total)>;

// What a conversion brought over.
struct JetConversion
{
    qint64 languages = 0;
    qint64 speeches = 0;
};

// Converts a speech database of the Access era (Jet 3 or Jet 4 file) into the program's own
// database, exactly: every ID kept and numbering continued after the highest the old file
// gave out, text whole, NULL kept apart from empty text. The new file is written under a
// private name beside newPath, read back and compared row by row with a second reading of
// the Jet file, and only then given its name. The Jet file is only ever read. A failure or a
// cancel leaves no new file behind: a failure raises EDatabaseError naming the file and the
// problem, a cancel raises EAbort. Which files are Jet files their header says (JetFormat.h).
class JetConverter
{
public:
    static JetConversion convert(const QString &jetPath, const QString &newPath, const JetProgress &progress = {});
};
