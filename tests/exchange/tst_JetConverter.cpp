#include "EAbort.h"
#include "EDatabaseError.h"
#include "JetConverter.h"
#include "JetFixtures.h"

#include <QDir>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <sqlite3.h>
#include <unistd.h>

using namespace JetFixtures;

namespace {

// One statement on a converted file, as another program would run it; the SQLite result code.
int runSql(const QString &path, const QString &sql, qint64 *lastId = nullptr)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (lastId)
        *lastId = sqlite3_last_insert_rowid(db);
    sqlite3_close(db);
    return rc;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// The header bits to flip to turn code page 1252 into another.
QByteArray codePageChange(quint16 codePage)
{
    const quint16 change = 1252 ^ codePage;
    return QByteArray(1, char(change & 0xff)) + QByteArray(1, char(change >> 8));
}

void replaceAll(QByteArray &file, const QByteArray &from, const QByteArray &to)
{
    QVERIFY(file.contains(from));
    file.replace(from, to);
}

// The Jet 3 copy whose Keywords column is declared width characters wide.
QByteArray withKeywordsWidth(int width)
{
    QByteArray file = read(jet3Path());
    const qsizetype page = jet3TableDefinition(file, 6, 7);
    constexpr int ColumnEntrySize = 18, ColumnSizeOffset = 16, TextType = 0x0a;
    for (qsizetype entry = page + 43; entry + ColumnEntrySize < page + 2048; entry += ColumnEntrySize) {
        if (file[entry] == TextType && qFromLittleEndian<qint16>(file.constData() + entry + ColumnSizeOffset) == 50) {
            qToLittleEndian<qint16>(qint16(width), file.data() + entry + ColumnSizeOffset);
            return file;
        }
    }
    return {};
}

// A folder on a small file system of its own, for what a normal folder cannot show to root:
// a folder that refuses writes and a disk that is full.
class OwnFileSystem
{
public:
    explicit OwnFileSystem(const QString &options)
    {
        if (::geteuid() == 0)
            m_mounted = QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                                    QStringLiteral("-o"), options, QStringLiteral("tmpfs"),
                                                                    m_dir.path()})
                        == 0;
    }
    ~OwnFileSystem()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    bool makeReadOnly() const
    {
        return QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_dir.path()}) == 0;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

} // namespace

class tst_JetConverter : public QObject
{
    Q_OBJECT

private slots:
    void convertsEveryRowExactly_data();
    void convertsEveryRowExactly();
    void numberingContinuesAfterTheFilesLastAutonumber();
    void speechOfAMissingLanguageIsKept();
    void jet3TextIsReadInTheCodePageOfTheHeader();
    void widerTextColumnKeepsItsWidth_data();
    void widerTextColumnKeepsItsWidth();
    void badInputChangesNothing_data();
    void badInputChangesNothing();
    void cancelLeavesNothingBehind_data();
    void cancelLeavesNothingBehind();
    void unwritableFolder_data();
    void unwritableFolder();
};

void tst_JetConverter::convertsEveryRowExactly_data()
{
    QTest::addColumn<QString>("jetPath");
    QTest::addColumn<qint64>("languages");
    QTest::addColumn<qint64>("speeches");
    QTest::newRow("Jet 4") << jet4Path() << qint64(4) << qint64(7);
    QTest::newRow("Jet 3, code page 1252") << jet3Path() << qint64(3) << qint64(6);
}

void tst_JetConverter::convertsEveryRowExactly()
{
    QFETCH(QString, jetPath);
    QFETCH(qint64, languages);
    QFETCH(qint64, speeches);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("Speeches.csp"));
    qint64 lastDone = -1, lastTotal = -1;
    const JetConversion result = JetConverter::convert(jetPath, target, [&](qint64 done, qint64 total) {
        lastDone = done;
        lastTotal = total;
        return true;
    });
    QCOMPARE(result.languages, languages);
    QCOMPARE(result.speeches, speeches);
    QCOMPARE(lastDone, lastTotal); // every step was reported, up to the whole
    QCOMPARE(differencesFromExpected(target, expectedJsonOf(jetPath)), QStringList());
    QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("Speeches.csp")});

    // A new speech is numbered after every ID the old file gave out, deleted ones included.
    qint64 highest = 0;
    for (const qint64 id : deletedIds(expectedJsonOf(jetPath), QStringLiteral("Speeches")))
        highest = std::max(highest, id);
    qint64 newId = 0;
    QCOMPARE(runSql(target, QStringLiteral("INSERT INTO Speeches (TaalID) VALUES (1)"), &newId), SQLITE_OK);
    QCOMPARE(newId, std::max(highest, speeches + 1) + 1);
}

void tst_JetConverter::numberingContinuesAfterTheFilesLastAutonumber()
{
    QTemporaryDir dir;
    QByteArray file = read(jet3Path());
    const qsizetype page = jet3TableDefinition(file, 6, 7);
    QVERIFY(page > 0);
    qToLittleEndian<qint32>(30, file.data() + page + 16); // rows 8 to 30 were added and deleted again
    write(dir.filePath(QStringLiteral("old.mdb")), file);
    const QString target = dir.filePath(QStringLiteral("new.csp"));
    JetConverter::convert(dir.filePath(QStringLiteral("old.mdb")), target);
    qint64 newId = 0;
    QCOMPARE(runSql(target, QStringLiteral("INSERT INTO Speeches (TaalID) VALUES (1)"), &newId), SQLITE_OK);
    QCOMPARE(newId, qint64(31));
}

void tst_JetConverter::speechOfAMissingLanguageIsKept()
{
    QTemporaryDir dir;
    QByteArray file = read(jet3Path());
    // On its page a Jet 3 row starts with its column count and the fixed columns: ID, TaalID.
    replaceAll(file, QByteArray("\x05\x03\0\0\0\x03\0\0\0", 9), QByteArray("\x05\x03\0\0\0\x63\0\0\0", 9));
    write(dir.filePath(QStringLiteral("old.mdb")), file);
    const QString target = dir.filePath(QStringLiteral("new.csp"));
    JetConverter::convert(dir.filePath(QStringLiteral("old.mdb")), target);
    QCOMPARE(differencesFromExpected(target, expectedJsonOf(jet3Path())),
             QStringList{QStringLiteral("Speeches 3 TaalID: 99 instead of 3")});
}

void tst_JetConverter::jet3TextIsReadInTheCodePageOfTheHeader()
{
    QTemporaryDir dir;
    QByteArray file = read(jet3Path());
    constexpr int CodePageOffset = 0x3c;
    xorHeader(file, CodePageOffset, codePageChange(1251));
    write(dir.filePath(QStringLiteral("old.mdb")), file);
    const QString target = dir.filePath(QStringLiteral("new.csp"));
    JetConverter::convert(dir.filePath(QStringLiteral("old.mdb")), target);

    // The same bytes, now read as Cyrillic: "Français" is stored as 46 72 61 6E E7 61 69 73.
    QStringEncoder cp1252("windows-1252");
    QStringDecoder cp1251("windows-1251");
    const QString expected = cp1251.decode(cp1252.encode(QStringLiteral("Français")));
    QCOMPARE(expected, QStringLiteral("Franзais"));
    sqlite3 *db = nullptr;
    sqlite3_open_v2(target.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT Taal FROM Taal WHERE ID = 2", -1, &statement, nullptr);
    QCOMPARE(sqlite3_step(statement), SQLITE_ROW);
    const QString stored = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    QCOMPARE(stored, expected);
}

void tst_JetConverter::widerTextColumnKeepsItsWidth_data()
{
    QTest::addColumn<int>("declared");
    QTest::addColumn<int>("kept");
    QTest::newRow("Text(50): our own limit") << 50 << 50;
    QTest::newRow("Text(20): never narrower than ours") << 20 << 50;
    QTest::newRow("Text(120): the old file's width") << 120 << 120;
}

void tst_JetConverter::widerTextColumnKeepsItsWidth()
{
    QFETCH(int, declared);
    QFETCH(int, kept);
    QTemporaryDir dir;
    const QByteArray file = withKeywordsWidth(declared);
    QVERIFY(!file.isEmpty());
    write(dir.filePath(QStringLiteral("old.mdb")), file);
    const QString target = dir.filePath(QStringLiteral("new.csp"));
    JetConverter::convert(dir.filePath(QStringLiteral("old.mdb")), target);
    const auto keywords = [](int length) {
        return QStringLiteral("UPDATE Speeches SET Keywords = '%1' WHERE ID = 1").arg(QString(length, QLatin1Char('k')));
    };
    QCOMPARE(runSql(target, keywords(kept)), SQLITE_OK);
    QCOMPARE(runSql(target, keywords(kept + 1)), SQLITE_CONSTRAINT);
}

void tst_JetConverter::badInputChangesNothing_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("problem");

    const QByteArray jet3 = read(jet3Path());
    const QByteArray jet4 = read(jet4Path());
    QTest::newRow("not a Jet file") << jet3Path() << QByteArray("SQLite format 3\0 and more", 25).repeated(200)
                                    << "it is not an Access database";
    QByteArray accdb = jet4;
    accdb.replace(4, 15, "Standard ACE DB");
    accdb[0x14] = 2;
    QTest::newRow("an .accdb file") << jet4Path() << accdb << "Access 2007 or later database (.accdb)";
    QTest::newRow("cut within a page") << jet3Path() << jet3.chopped(1000) << "truncated or damaged";
    QTest::newRow("cut at a page") << jet4Path() << jet4.left(jet4.size() / 2) << "damaged";
    QByteArray password3 = jet3, password4 = jet4;
    xorHeader(password3, 0x42, "secret");
    xorHeader(password4, 0x42, QByteArray("s\0e\0c\0r\0e\0t\0", 12));
    QTest::newRow("Jet 3 with a password") << jet3Path() << password3 << "protected by a password";
    QTest::newRow("Jet 4 with a password") << jet4Path() << password4 << "protected by a password";
    QByteArray encrypted = jet4;
    xorHeader(encrypted, 0x3e, "\x5a\x3c\x12\x07");
    QTest::newRow("encrypted") << jet4Path() << encrypted << "it is encrypted";
    QByteArray noSpeeches = jet3;
    replaceAll(noSpeeches, "Speeches", "Speechez");
    QTest::newRow("no table Speeches") << jet3Path() << noSpeeches << "it has no table Speeches";
    QByteArray otherColumns = jet3;
    replaceAll(otherColumns, "Comments", "Remarks_");
    QTest::newRow("other columns") << jet3Path() << otherColumns
                                   << "its table Speeches has the columns ID, TaalID, Keywords, Tekst, Remarks_ instead of";
    QByteArray codePage = jet3;
    xorHeader(codePage, 0x3c, codePageChange(4));
    QTest::newRow("unknown code page") << jet3Path() << codePage << "code page 4, which is not supported";
}

void tst_JetConverter::badInputChangesNothing()
{
    QFETCH(QString, source);
    QFETCH(QByteArray, content);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("Speeches.csp"));
    write(old, content);
    try {
        JetConverter::convert(old, dir.filePath(QStringLiteral("new.csp")));
        QFAIL("the conversion was not refused");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().startsWith(QStringLiteral("Cannot convert %1: ").arg(old)), qPrintable(error.message()));
        QVERIFY2(error.message().contains(problem), qPrintable(error.message()));
    }
    QCOMPARE(read(old), content);
    QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("Speeches.csp")});
}

void tst_JetConverter::cancelLeavesNothingBehind_data()
{
    QTest::addColumn<qint64>("cancelAt");
    QTest::newRow("before the first row") << qint64(0);
    QTest::newRow("while writing") << qint64(5);
    QTest::newRow("while checking, at the last row") << qint64(17);
}

void tst_JetConverter::cancelLeavesNothingBehind()
{
    QFETCH(qint64, cancelAt);
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.mdb"));
    write(old, read(jet3Path()));
    QVERIFY_THROWS_EXCEPTION(EAbort, JetConverter::convert(old, dir.filePath(QStringLiteral("new.csp")),
                                                           [cancelAt](qint64 done, qint64) { return done < cancelAt; }));
    QCOMPARE(read(old), read(jet3Path()));
    QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("old.mdb")});
}

void tst_JetConverter::unwritableFolder_data()
{
    QTest::addColumn<QString>("options");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("problem");
    QTest::newRow("read-only folder") << QStringLiteral("size=1m") << true << "Read-only file system";
    QTest::newRow("full disk") << QStringLiteral("size=256k") << false << "database or disk is full";
}

void tst_JetConverter::unwritableFolder()
{
    QFETCH(QString, options);
    QFETCH(bool, readOnly);
    QFETCH(QString, problem);
    OwnFileSystem disk(options);
    if (!disk.mounted())
        QSKIP("needs root to mount a small file system of its own");
    const QString old = disk.path() + QStringLiteral("/Speeches.csp");
    write(old, read(jet3Path()));
    if (readOnly)
        QVERIFY(disk.makeReadOnly());
    const QString target = disk.path() + QStringLiteral("/new.csp");
    try {
        JetConverter::convert(old, target);
        QFAIL("the conversion did not fail");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.message(), QStringLiteral("Cannot write %1: %2").arg(target, problem));
    }
    QCOMPARE(read(old), read(jet3Path()));
    QCOMPARE(entriesOf(disk.path()), QStringList{QStringLiteral("Speeches.csp")});
}

QTEST_GUILESS_MAIN(tst_JetConverter)
#include "tst_JetConverter.moc"
