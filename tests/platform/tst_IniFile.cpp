#include "Exception.h"
#include "IniFile.h"
#include "PrivateProfile.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

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

} // namespace

class tst_IniFile : public QObject
{
    Q_OBJECT

private slots:
    void integers_data();
    void integers();
    void readsLikeTheProfileFunctions();
    void writesKeepEveryOtherLine();
    void firstWriteCreatesFile();
    void refusedWriteRaisesAndLeavesFile();
    void longValuesAreCutAtTheBuffer();
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

TINLARK_TEST_MAIN(tst_IniFile)
#include "tst_IniFile.moc"
