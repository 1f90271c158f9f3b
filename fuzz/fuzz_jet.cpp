// Fuzz target of the Jet converter: every input is taken as an Access database file and
// converted. A refusal with a message is the expected answer to a damaged file; a crash, a
// hang, a read outside the data in the program's own code or a leak is a finding. libmdb is
// the system's library, not built for the sanitizers: inside it, only a crash shows.

#include "EDatabaseError.h"
#include "JetConverter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

// A folder in memory where there is one, so that the converter's writes through to the
// disk cost nothing.
QString scratchParent()
{
    return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir(scratchParent() + QStringLiteral("/fuzz_jet-XXXXXX"));
    const QString source = dir.filePath(QStringLiteral("Speeches.csp"));
    const QString target = dir.filePath(QStringLiteral("converted.csp"));
    {
        QFile file(source);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    try {
        JetConverter::convert(source, target);
    } catch (const EDatabaseError &) {
    }
    QFile::remove(target);
    return 0;
}
