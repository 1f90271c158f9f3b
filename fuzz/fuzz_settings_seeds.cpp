// Writes the seed corpus of the settings reader's fuzz target into the folder given: settings
// files as Windows programs and editors leave them, in every encoding and with every line end.

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>

namespace {

bool writeSeed(const QDir &folder, const QString &name, const QByteArray &bytes)
{
    QFile file(folder.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray bytes;
    for (const QChar c : QChar(0xFEFF) + text) {
        const char low = char(c.unicode() & 0xFF);
        const char high = char(c.unicode() >> 8);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_settings_seeds FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral(".")))
        return 1;

    const QByteArray windows("; Notizen f\xFCr sp\xE4ter\r\n[Hacks]\r\nDatabase=R\xE9" "den.csp\r\n\r\n[Caf\xE9]\r\n"
                             "x=\x80\r\n\r\n[MainForm]\r\nL=0x10\r\nT=\"-20\"\r\nW=640\r\nH=' 480 '\r\nCH=0x0x10\r\n"
                             "Index=1\r\nRO=1\r\n");
    const QList<std::pair<QString, QByteArray>> seeds = {
        {"windows-1252", windows},
        {"utf-8", QString::fromLatin1(windows).toUtf8()},
        {"utf-8-bom", "\xEF\xBB\xBF" + QString::fromLatin1(windows).toUtf8()},
        {"utf-16", utf16(QString::fromLatin1(windows), false)},
        {"utf-16-big-endian", utf16(QString::fromLatin1(windows), true)},
        {"utf-16-odd-byte", utf16(QStringLiteral("[MainForm]\r\nL=1"), false) + 'x'},
        {"lone-cr", QByteArray(windows).replace("\r\n", "\r")},
        {"lf", QByteArray(windows).replace("\r\n", "\n")},
        {"no-last-line-end", "[MainForm]\nL=1"},
        {"ctrl-z-and-nul", QByteArray("[\x1AMainForm ]\n\x1AL\x1A=\x1A 5\x1A\nT=7\0junk\nRO=\"1\0\"\n\x1A", 40)},
        {"sections-without-end", "[MainForm\nL=1\n[]\n=\n[MainForm]]\nL"},
    };
    for (const auto &[name, bytes] : seeds) {
        if (!writeSeed(folder, name, bytes))
            return 1;
    }
    return 0;
}
