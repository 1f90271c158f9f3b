// Fuzz target of the settings reader: every input is taken as the bytes of a settings file.
// Besides crashes, hangs and sanitizer findings it checks what the reader promises: a file
// written back unchanged keeps every byte, a value just written reads back as written, and
// integer values never read as anything but a number or the default.

#include "IniFile.h"
#include "ProfileText.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "settings reader: %s\n", what);
    std::abort();
}

const QStringList Sections = {QStringLiteral("Hacks"), QStringLiteral("MainForm"), QStringLiteral("S")};
const QStringList Keys = {QStringLiteral("Database"), QStringLiteral("L"), QStringLiteral("T"), QStringLiteral("RO"),
                          QStringLiteral("K")};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    ProfileText text(input);
    if (text.toBytes() != input)
        fail("a file written back unchanged differs from the file read");

    for (const QString &section : Sections) {
        for (const QString &key : Keys) {
            const std::optional<QString> value = text.value(section, key);
            if (value) {
                const int number = IniFile::parseInteger(*value, 12345);
                (void)number;
            }
        }
    }

    text.setValue(QStringLiteral("MainForm"), QStringLiteral("L"), QStringLiteral("-16"));
    const ProfileText reread(text.toBytes());
    if (reread.value(QStringLiteral("MainForm"), QStringLiteral("L")) != QStringLiteral("-16"))
        fail("a value just written does not read back");
    if (reread.toBytes() != text.toBytes())
        fail("a written file does not read back byte for byte");
    return 0;
}
