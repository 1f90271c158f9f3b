// Fuzz target of the connection string reader. Every input is read as a connection string
// (a refusal is fine, a crash or a hang is not), and as a database path: the path put into
// the program's connection string must read back exactly as it was, whatever it holds. Where
// the next item starts is read by hand: it must agree with the pattern it replaced.

#include "ConnectionString.h"
#include "DatabaseTexts.h"
#include "EDatabaseError.h"

#include <QRegularExpression>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        (void)ConnectionString::dataSource(input);
    } catch (const EDatabaseError &) {
    }

    static const QRegularExpression nextItem(QStringLiteral(";\\s*[A-Za-z][A-Za-z0-9 :_]*="));
    const QRegularExpressionMatch match = nextItem.match(input);
    const qsizetype patternStart = match.hasMatch() ? match.capturedStart() : -1;
    if (ConnectionString::nextItemStart(input, 0) != patternStart) {
        std::fprintf(stderr, "the next item of \"%s\" was read at %lld, the pattern finds it at %lld\n",
                     input.toUtf8().constData(), (long long)ConnectionString::nextItemStart(input, 0),
                     (long long)patternStart);
        std::abort();
    }

    const QString connectionString = DatabaseTexts::connectionString(input);
    QString readBack;
    try {
        readBack = ConnectionString::dataSource(connectionString);
    } catch (const EDatabaseError &error) {
        std::fprintf(stderr, "the program's own connection string was refused: %s\n",
                     error.message().toUtf8().constData());
        std::abort();
    }
    if (readBack != input) {
        std::fprintf(stderr, "path \"%s\" came back as \"%s\" from \"%s\"\n", input.toUtf8().constData(),
                     readBack.toUtf8().constData(), connectionString.toUtf8().constData());
        std::abort();
    }
    return 0;
}
