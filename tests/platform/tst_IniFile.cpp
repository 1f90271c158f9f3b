#include "Exception.h"
#include "IniFile.h"
#include "PrivateProfile.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &content)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
}

// Text as Notepad's "Unicode" and "Unicode big endian" store it: a byte-order mark, then UTF-16.
QByteArray utf16(const QString &text, bool bigEndian = false)
{
    QByteArray bytes;
    for (const QChar c : QChar(0xFEFF) + text) {
        const char low = char(c.unicode() & 0xFF);
        const char high = char(c.unicode() >> 8);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

// A small file system of its own, mounted for the life of the object (root only).
class SmallFileSystem
{
public:
    SmallFileSystem()
    {
        m_mounted = geteuid() == 0 && mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            umount(QFile::encodeName(m_dir.path()).constData());
    }
    bool mounted() const { return m_mounted; }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Fills every free byte, so that the next write fails for want of space.
    void fill() const
    {
        QFile filler(filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(512, 'x');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write("x", 1) == 1) {
        }
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace

class tst_IniFile : public QObject
{
    Q_OBJECT

private slots:
    void integers_data();
    void integers();
    void readsLikeTheProfileFunctions();
    void writesKeepEveryOtherLine();
    void severalValuesInOneWrite();
    void firstWriteCreatesFile();
    void refusedWriteRaisesAndLeavesFile();
    void longValuesAreCutAtTheBuffer();
    void valuesAsWindowsReadsThem_data();
    void valuesAsWindowsReadsThem();
    void untouchedBytesStay_data();
    void untouchedBytesStay();
    void unreadableFileIsNeverReplaced_data();
    void unreadableFileIsNeverReplaced();
    void fullDiskKeepsTheOldFile();
    void changesMadeDuringTheRunAreRead();
};

void tst_IniFile::integers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal") << "612" << 612;
    QTest::newRow("negative") << "-40" << -40;
    QTest::newRow("hexadecimal") << "0x10" << 16;
    QTest::newRow("hexadecimal capital X") << "0XfF" << 255;
    QTest::newRow("all bits") << "0xFFFFFFFF" << -1;
    QTest::newRow("0x alone is no number") << "0x" << 99;
    QTest::newRow("letters") << "abc" << 99;
    QTest::newRow("trailing letters") << "12px" << 99;
    QTest::newRow("too large") << "99999999999" << 99;
    QTest::newRow("empty") << "" << 99;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("blanks inside quotes") << "\" 50 \"" << 99;
    QTest::newRow("blank after 0x") << "0x 10" << 99;
    QTest::newRow("sign after 0x") << "0x+10" << 99;
    QTest::newRow("0x twice") << "0x0x10" << 99;
}

void tst_IniFile::integers()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tinlark.ini"));
    writeAll(path, "[MainForm]\nL=" + text.toUtf8() + "\n");
    QCOMPARE(IniFile(path).readInteger(QStringLiteral("MainForm"), QStringLiteral("L"), 99), expected);
}

void tst_IniFile::readsLikeTheProfileFunctions()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tinlark.ini"));
    writeAll(path, "; a comment\r\n"
                   "[hacks]\r\n"
                   "  database =  speeches/mine.csp  \r\n"
                   "Database=second wins never\r\n"
                   "[MainForm]\r\n"
                   "RO=7\r\n"
                   "Index=\"2\"\r\n"
                   "[MainForm]\r\n"
                   "L=5\r\n");
    const IniFile settings(path);
    QCOMPARE(settings.readString(QStringLiteral("Hacks"), QStringLiteral("Database"), QStringLiteral("x")),
             QStringLiteral("speeches/mine.csp"));
    QVERIFY(settings.readBool(QStringLiteral("MainForm"), QStringLiteral("RO"), false)); // 7 counts as true
    QCOMPARE(settings.readInteger(QStringLiteral("MainForm"), QStringLiteral("Index"), 0), 2);
    // Only the first section of a name is read.
    QCOMPARE(settings.readInteger(QStringLiteral("MainForm"), QStringLiteral("L"), 192), 192);
    QCOMPARE(settings.readString(QStringLiteral("None"), QStringLiteral("x"), QStringLiteral("default")),
             QStringLiteral("default"));
    QCOMPARE(IniFile(dir.filePath(QStringLiteral("missing.ini"))).readInteger(QStringLiteral("A"), QStringLiteral("B"), 4), 4);
}

void tst_IniFile::writesKeepEveryOtherLine()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tinlark.ini"));
    writeAll(path, "; keep me\r\n[Hacks]\r\nDatabase=a.csp\r\n\r\n[mainform]\r\nl=1\r\nOther=x\r\n\r\n[Tail]\r\nz=1\r\n");
    IniFile settings(path);
    settings.writeInteger(QStringLiteral("MainForm"), QStringLiteral("L"), 16);
    settings.writeBool(QStringLiteral("MainForm"), QStringLiteral("RO"), false);
    settings.writeString(QStringLiteral("New"), QStringLiteral("k"), QStringLiteral("v"));
    QCOMPARE(readAll(path), QByteArray("; keep me\r\n[Hacks]\r\nDatabase=a.csp\r\n\r\n[mainform]\r\nL=16\r\nOther=x\r\nRO=0\r\n"
                                       "\r\n[Tail]\r\nz=1\r\n[New]\r\nk=v\r\n"));
}

void tst_IniFile::severalValuesInOneWrite()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tinlark.ini"));
    writeAll(path, "[Hacks]\r\nDatabase=a.csp\r\n[mainform]\r\nw=1\r\nOther=x\r\n[Tail]\r\nz=1\r\n");
    IniFile(path).writeStrings(QStringLiteral("MainForm"), {{QStringLiteral("L"), QStringLiteral("-5")},
                                                            {QStringLiteral("W"), QStringLiteral("612")},
                                                            {QStringLiteral("RO"), QStringLiteral("0")}});
    QCOMPARE(readAll(path), QByteArray("[Hacks]\r\nDatabase=a.csp\r\n[mainform]\r\nW=612\r\nOther=x\r\nL=-5\r\nRO=0\r\n"
                                       "[Tail]\r\nz=1\r\n"));
}

void tst_IniFile::firstWriteCreatesFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tinlark.ini"));
    IniFile settings(path);
    settings.writeInteger(QStringLiteral("MainForm"), QStringLiteral("L"), 192);
    settings.writeInteger(QStringLiteral("MainForm"), QStringLiteral("T"), -5);
    settings.writeBool(QStringLiteral("MainForm"), QStringLiteral("RO"), true);
    QCOMPARE(readAll(path), QByteArray("[MainForm]\nL=192\nT=-5\nRO=1\n"));
    QCOMPARE(settings.readInteger(QStringLiteral("MainForm"), QStringLiteral("T"), 0), -5);
    // The new file is its owner's alone.
    QCOMPARE(QFileInfo(path).permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             QFile::ReadOwner | QFile::WriteOwner);
}

void tst_IniFile::refusedWriteRaisesAndLeavesFile()
{
    // A folder in the way stops even a program running as root.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tinlark.ini"));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Tinlark.ini")));
    IniFile settings(path);
    try {
        settings.writeInteger(QStringLiteral("MainForm"), QStringLiteral("L"), 1);
        QFAIL("a write that cannot happen was reported as done");
    } catch (const Exception &error) {
        QCOMPARE(error.message(), QStringLiteral("Unable to write to %1").arg(path));
    }
    QVERIFY(QFileInfo(path).isDir());
}

void tst_IniFile::longValuesAreCutAtTheBuffer()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tinlark.ini"));
    writeAll(path, "[Hacks]\nDatabase=" + QByteArray(5000, 'a') + "\n");
    QCOMPARE(PrivateProfile::getString(QStringLiteral("Hacks"), QStringLiteral("Database"), QString(), path).size(), 2047);
}

void tst_IniFile::valuesAsWindowsReadsThem_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // null: the default

    const QString reden = QStringLiteral("R\u00E9den.csp");
    QTest::newRow("Windows-1252") << QByteArray("[S]\r\nK=R\xE9" "den.csp\r\n") << "K" << reden;
    QTest::newRow("Windows-1252 beyond Latin-1") << QByteArray("[S]\nK=\x80 \x93x\x94\x81\n") << "K"
                                                 << QStringLiteral("\u20AC \u201Cx\u201D\u0081");
    QTest::newRow("UTF-8") << QByteArray("[S]\nK=R\xC3\xA9" "den.csp\n") << "K" << reden;
    QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF[S]\nK=R\xC3\xA9" "den.csp\n") << "K" << reden;
    QTest::newRow("UTF-16") << utf16(QStringLiteral("[S]\r\nK=") + reden + QStringLiteral("\r\n")) << "K" << reden;
    QTest::newRow("UTF-16 big-endian") << utf16(QStringLiteral("[S]\r\nK=") + reden, true) << "K" << reden;
    QTest::newRow("lone CR ends a line") << QByteArray("[S]\rT=50\rW=640\r") << "T" << "50";
    QTest::newRow("line after a lone CR") << QByteArray("[S]\rT=50\rW=640") << "W" << "640";
    QTest::newRow("section after a lone CR") << QByteArray("[A]\rK=a\r[S]\rK=s") << "K" << "s";
    QTest::newRow("Ctrl+Z is a blank") << QByteArray("[S]\nK=\x1A 50\t\x1A\n") << "K" << "50";
    QTest::newRow("Ctrl+Z around a name") << QByteArray("[\x1AS ]\n\x1AK\x1A=v\n") << "K" << "v";
    QTest::newRow("NUL ends a value") << QByteArray("[S]\nK=a.csp\0junk\nL=1\n", 21) << "K" << "a.csp";
    QTest::newRow("NUL before the closing quote") << QByteArray("[S]\nK=\"ab\0c\"\n", 13) << "K" << "\"ab";
    QTest::newRow("no-break space is no blank") << QByteArray("[S]\nK=\xA0x\xA0\n") << "K" << QStringLiteral("\u00A0x\u00A0");
}

void tst_IniFile::valuesAsWindowsReadsThem()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tinlark.ini"));
    writeAll(path, file);
    const QString value = IniFile(path).readString(QStringLiteral("S"), key, QString());
    QCOMPARE(value, expected);
}

// Each file is written with L=16 in section MainForm; everything else stays as it was stored.
void tst_IniFile::untouchedBytesStay_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("Windows-1252 in a comment, another section and a value")
        << QByteArray("; Notizen f\xFCr sp\xE4ter\r\n[Hacks]\r\nDatabase=R\xE9" "den.csp\r\n\r\n[Caf\xE9]\r\nx=\x80\r\n"
                      "[MainForm]\r\nL=1\r\nT=2\r\n")
        << QByteArray("; Notizen f\xFCr sp\xE4ter\r\n[Hacks]\r\nDatabase=R\xE9" "den.csp\r\n\r\n[Caf\xE9]\r\nx=\x80\r\n"
                      "[MainForm]\r\nL=16\r\nT=2\r\n");
    QTest::newRow("UTF-16")
        << utf16(QStringLiteral("[Caf\u00E9]\r\nx=\u20AC\r\n[MainForm]\r\nL=1\r\n"))
        << utf16(QStringLiteral("[Caf\u00E9]\r\nx=\u20AC\r\n[MainForm]\r\nL=16\r\n"));
    QTest::newRow("UTF-16 big-endian, new section")
        << utf16(QStringLiteral("[Caf\u00E9]\r\nx=\u20AC\r\n"), true)
        << utf16(QStringLiteral("[Caf\u00E9]\r\nx=\u20AC\r\n[MainForm]\r\nL=16\r\n"), true);
    QTest::newRow("UTF-8 with byte-order mark")
        << QByteArray("\xEF\xBB\xBF[MainForm]\nL=1\n") << QByteArray("\xEF\xBB\xBF[MainForm]\nL=16\n");
    QTest::newRow("lone CR keeps the hidden line")
        << QByteArray("[MainForm]\rL=50\rW=640\r") << QByteArray("[MainForm]\rL=16\rW=640\r");
    QTest::newRow("mixed line ends")
        << QByteArray("[A]\nk=1\r\n[MainForm]\rW=1\n") << QByteArray("[A]\nk=1\r\n[MainForm]\rW=1\nL=16\n");
    QTest::newRow("no line end at the end")
        << QByteArray("[MainForm]\nL=1") << QByteArray("[MainForm]\nL=16");
    QTest::newRow("section added after a last line without its end")
        << QByteArray("[A]\r\nk=1") << QByteArray("[A]\r\nk=1\r\n[MainForm]\r\nL=16\r\n");
}

void tst_IniFile::untouchedBytesStay()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tinlark.ini"));
    writeAll(path, before);
    IniFile(path).writeInteger(QStringLiteral("MainForm"), QStringLiteral("L"), 16);
    QCOMPARE(readAll(path).toHex(' '), after.toHex(' '));
}

void tst_IniFile::unreadableFileIsNeverReplaced_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("larger than the reader takes") << "large";
    QTest::newRow("no permission to read") << "unreadable";
    QTest::newRow("named pipe") << "pipe";
}

void tst_IniFile::unreadableFileIsNeverReplaced()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tinlark.ini"));
    const QByteArray content("[Hacks]\nDatabase=mine.csp\n[MainForm]\nL=5\n");
    if (kind == QLatin1String("pipe")) {
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        writeAll(path, content);
        if (kind == QLatin1String("large"))
            QVERIFY(QFile::resize(path, 1024 * 1024 + 1));
        if (kind == QLatin1String("unreadable")) {
            if (geteuid() == 0)
                QSKIP("root reads a file without read permission");
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        }
    }
    const QFileInfo before(path);
    IniFile settings(path);
    QCOMPARE(settings.readInteger(QStringLiteral("MainForm"), QStringLiteral("L"), 99), 99);
    QVERIFY_THROWS_EXCEPTION(Exception, settings.writeInteger(QStringLiteral("MainForm"), QStringLiteral("L"), 1));
    const QFileInfo after(path);
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.isFile(), before.isFile());
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (kind != QLatin1String("pipe"))
        QVERIFY(readAll(path).startsWith(content));
}

void tst_IniFile::fullDiskKeepsTheOldFile()
{
    if (geteuid() != 0)
        QSKIP("mounting a small file system to fill up needs root");
    const SmallFileSystem disk;
    if (!disk.mounted())
        QSKIP("this system does not let the test mount a tmpfs");
    const QString path = disk.filePath(QStringLiteral("Tinlark.ini"));
    const QByteArray content("[Hacks]\nDatabase=mine.csp\n[MainForm]\nL=5\n");
    writeAll(path, content);
    disk.fill();
    IniFile settings(path);
    try {
        settings.writeInteger(QStringLiteral("MainForm"), QStringLiteral("L"), 1);
        QFAIL("a write to a full disk was reported as done");
    } catch (const Exception &error) {
        QCOMPARE(error.message(), QStringLiteral("Unable to write to %1").arg(path));
    }
    QCOMPARE(readAll(path), content);
    // No temporary file is left behind either.
    QCOMPARE(QDir(disk.filePath(QString())).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             QStringList({QStringLiteral("Tinlark.ini"), QStringLiteral("filler")}));
}

void tst_IniFile::changesMadeDuringTheRunAreRead()
{
    // Reads come from memory while the file stays as read; a file changed within the last
    // second is never kept, hence one wait. Each change must show at the next read.
    QTemporaryDir dir;
    const QString inPlace = dir.filePath(QStringLiteral("a.ini")), replaced = dir.filePath(QStringLiteral("b.ini"));
    for (const QString &path : {inPlace, replaced})
        writeAll(path, "[MainForm]\nW=612\n");
    QThread::msleep(1100);
    const IniFile first(inPlace), second(replaced);
    for (const IniFile *settings : {&first, &first, &second})
        QCOMPARE(settings->readInteger(QStringLiteral("MainForm"), QStringLiteral("W"), 0), 612);
    writeAll(inPlace, "[MainForm]\nW=321\n"); // same size, same file
    IniFile(replaced).writeInteger(QStringLiteral("MainForm"), QStringLiteral("W"), 321);
    for (const IniFile *settings : {&first, &second})
        QCOMPARE(settings->readInteger(QStringLiteral("MainForm"), QStringLiteral("W"), 0), 321);
}

TINLARK_TEST_MAIN(tst_IniFile)
#include "tst_IniFile.moc"
