#include "Field.h"
#include "KeywordIndex.h"
#include "KeywordIndexBuild.h"
#include "SqliteDatabase.h"
#include "SqliteStatement.h"
#include "Statement.h"
#include "StoreFixture.h"
#include "TransactionGuard.h"
#include "TestMain.h"

#include <sqlite3.h>

using Ids = QList<qint64>;

namespace {

// The tables as earlier builds of the program made them, with no keyword index.
const char *const EarlierSchema = R"sql(
CREATE TABLE Taal (ID INTEGER PRIMARY KEY AUTOINCREMENT, Taal VARCHAR(50) CHECK (length(Taal) <= 50));
CREATE TABLE Speeches (ID INTEGER PRIMARY KEY AUTOINCREMENT, TaalID INTEGER,
  Keywords VARCHAR(50) CHECK (length(Keywords) <= 50), Tekst TEXT, Comments TEXT);
CREATE INDEX TaalByName ON Taal (Taal);
CREATE INDEX SpeechesByTaal ON Speeches (TaalID);
CREATE INDEX SpeechesByTaalKeywords ON Speeches (TaalID, Keywords);
)sql";

// A second program on the same file that knows nothing of the index, opened as an earlier
// build of this program opens it.
struct EarlierBuild
{
    sqlite3 *db = nullptr;
    explicit EarlierBuild(const QString &path)
    {
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_busy_timeout(db, 5000);
    }
    ~EarlierBuild() { sqlite3_close_v2(db); }
    void execute(const QString &sql, const QVariantList &values = {}) { SqliteStatement(db, sql).execute(values); }
};

// The hits of the program's keyword search, in the order of the hit list.
Ids searchHits(StoreFixture &f, const QString &searchText, int language)
{
    auto set = f.recordSet(DatabaseTexts::keywordSearch(searchText, language));
    set->open();
    Ids ids;
    for (; !set->eof(); set->next())
        ids.append(set->fieldByName(QStringLiteral("ID"))->value().toLongLong());
    if (set->recordCount() != ids.size())
        return {-1};
    return ids;
}

// The same search read from every keyword of the table.
Ids scannedHits(StoreFixture &f, const QString &searchText, int language)
{
    Statement scan(f.connection->handle(),
                   QStringLiteral("SELECT ID FROM Speeches WHERE Keywords LIKE ? AND TaalID = ? ORDER BY ID"));
    scan.bindAll({QLatin1Char('%') + searchText + QLatin1Char('%'), language});
    Ids ids;
    while (scan.step())
        ids.append(scan.columnInt64(0));
    return ids;
}

Ids indexedHits(StoreFixture &f, const QString &searchText, int language)
{
    sqlite3 *db = static_cast<SqliteDatabase *>(f.connection->handle())->handle();
    const auto found = KeywordIndex::find(db, QLatin1Char('%') + searchText + QLatin1Char('%'), language);
    return found ? Ids(found->begin(), found->end()) : Ids{-1};
}

} // namespace

class tst_KeywordIndex : public QObject
{
    Q_OBJECT

private slots:
    void indexAndScanFindTheSameHits_data();
    void indexAndScanFindTheSameHits();
    void nextSearchSeesEachChange_data();
    void nextSearchSeesEachChange();
    void earlierBuildsFileIsIndexedInBatchesThatMissNoChange_data();
    void earlierBuildsFileIsIndexedInBatchesThatMissNoChange();
};

void tst_KeywordIndex::indexAndScanFindTheSameHits_data()
{
    QTest::addColumn<QString>("searchText");
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("indexed"); // false: too short for the index, the keywords are read
    QTest::addColumn<int>("hits");
    QTest::newRow("fragment anywhere") << "vac" << 1 << true << 3;
    QTest::newRow("capitals find small letters") << "HOLIDAY" << 1 << true << 1;
    QTest::newRow("small letters find capitals") << "vacancy" << 1 << true << 1;
    QTest::newRow("accented capitals") << "ÉLÈVE" << 1 << true << 1;
    QTest::newRow("greek") << "Σοφία" << 1 << true << 1;
    QTest::newRow("cyrillic") << "ПРИВЕТ" << 1 << true << 1;
    QTest::newRow("capital sharp s") << "STRAẞE" << 1 << true << 1;
    QTest::newRow("short umlaut") << "ä" << 1 << false << 1;
    QTest::newRow("underscore is any one character") << "h_liday" << 1 << true << 1;
    QTest::newRow("underscores only") << "___" << 1 << false << 12;
    QTest::newRow("text after a NUL character") << "after" << 1 << true << 1;
    QTest::newRow("percent is any run") << "hol%tion" << 1 << true << 1;
    QTest::newRow("runs in order only") << "tion%hol" << 1 << true << 0;
    QTest::newRow("blanks count") << "y va" << 1 << true << 2;
    QTest::newRow("only the language asked for") << "other" << 1 << true << 0;
    QTest::newRow("a language without speeches") << "hol" << 3 << true << 0;
    QTest::newRow("empty text in a language without speeches") << "" << 3 << false << 0;
    QTest::newRow("orphan speeches stay out of a listed language") << "unlisted" << 1 << true << 0;
    QTest::newRow("orphan speeches in their own language") << "unlisted" << 77 << true << 1;
    QTest::newRow("negative language") << "negative" << -5 << true << 1;
    QTest::newRow("double quote") << "say \"hi" << 1 << true << 1;
    QTest::newRow("closing the literal") << "\" or 1=1 or \"" << 1 << true << 0;
    QTest::newRow("apostrophe") << "it's" << 1 << true << 1;
    QTest::newRow("statement end") << "; drop table Speeches; --" << 1 << true << 0;
    QTest::newRow("comment") << "--" << 1 << false << 1;
    QTest::newRow("comment in a longer text") << "a -- b" << 1 << true << 1;
    QTest::newRow("doubled quotes") << "\"\"" << 1 << false << 0;
}

void tst_KeywordIndex::indexAndScanFindTheSameHits()
{
    QFETCH(QString, searchText);
    QFETCH(int, language);
    QFETCH(bool, indexed);
    QFETCH(int, hits);
    StoreFixture f;
    for (const char *keywords : {"holiday vacation", "VACANCY", "élève", "Ärger", "σοφία", "привет", "Straße",
                                 "say \"hi\"", "it's here", "a -- b", "holy vaccine"})
        f.db->addSpeech(1, QString::fromUtf8(keywords));
    f.db->addSpeech(2, QStringLiteral("other language"));
    f.db->addSpeech(77, QStringLiteral("holiday in an unlisted language"));
    f.db->addSpeech(-5, QStringLiteral("negative language"));
    f.db->execute(QStringLiteral("INSERT INTO Speeches (TaalID, Keywords) VALUES (1, NULL), (1, 'nul' || char(0) || 'after')"));

    const Ids scanned = scannedHits(f, searchText, language);
    QCOMPARE(scanned.size(), hits);
    QCOMPARE(searchHits(f, searchText, language), scanned);
    if (indexed)
        QCOMPARE(indexedHits(f, searchText, language), scanned);
    else
        QCOMPARE(indexedHits(f, searchText, language), Ids{-1});
}

void tst_KeywordIndex::nextSearchSeesEachChange_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("byThisBuild");
    QTest::addColumn<QString>("searchText");
    QTest::addColumn<Ids>("expected");
    for (const bool byThisBuild : {true, false}) {
        const char *const who = byThisBuild ? "this build" : "an earlier build";
        QTest::addRow("insert, %s", who) << "insert" << byThisBuild << "wind" << Ids{1, byThisBuild ? 102001 : 4};
        QTest::addRow("edit of the keywords, %s", who) << "edit" << byThisBuild << "MILL" << Ids{3};
        QTest::addRow("edit leaves the old keywords behind, %s", who) << "edit" << byThisBuild << "rain" << Ids{};
        QTest::addRow("delete, %s", who) << "delete" << byThisBuild << "wind" << Ids{};
    }
    QTest::newRow("move to another language") << "move" << false << "wind" << Ids{};
    QTest::newRow("replace of a speech") << "replace" << false << "wind" << Ids{3};
    QTest::newRow("change of an ID") << "renumber" << false << "wind" << Ids{9};
    QTest::newRow("speech beyond the index's keys") << "huge" << false << "wind" << Ids{1, 5000000000};
}

void tst_KeywordIndex::nextSearchSeesEachChange()
{
    QFETCH(QString, change);
    QFETCH(bool, byThisBuild);
    QFETCH(QString, searchText);
    QFETCH(Ids, expected);
    StoreFixture f;
    f.db->addSpeech(1, QStringLiteral("wind"));
    f.db->addSpeech(1, QStringLiteral("sun"));
    f.db->addSpeech(1, QStringLiteral("rain"));
    // Enough speeches that the program's search asks the index rather than reading them.
    f.db->execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                                 "INSERT INTO Speeches (ID, TaalID, Keywords) SELECT 100000 + i, 1, 'filler' FROM n"));
    QCOMPARE(searchHits(f, QStringLiteral("wind"), 1), Ids{1});

    if (byThisBuild) {
        auto speeches = f.recordSet(DatabaseTexts::SpeechListCommand);
        speeches->open();
        if (change == QLatin1String("insert")) {
            speeches->append();
            speeches->fieldByName(QStringLiteral("TaalID"))->setAsInteger(1);
            speeches->fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("WINDY"));
        } else {
            QVERIFY(speeches->locate(QStringLiteral("ID"), change == QLatin1String("edit") ? 3 : 1));
            if (change == QLatin1String("delete")) {
                speeches->deleteRecord();
            } else {
                speeches->edit();
                speeches->fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("windmill"));
            }
        }
        speeches->post();
        // This build's own writes leave nothing for the next search to take in.
        QCOMPARE(f.db->count(QStringLiteral("SELECT count(*) FROM TinlarkKeywordPending")), 0);
    } else {
        EarlierBuild other(f.db->path());
        if (change == QLatin1String("insert"))
            other.execute(QStringLiteral("INSERT INTO Speeches (ID, TaalID, Keywords) VALUES (4, 1, 'WINDY')"));
        else if (change == QLatin1String("edit"))
            other.execute(QStringLiteral("UPDATE Speeches SET Keywords = 'windmill' WHERE ID = 3"));
        else if (change == QLatin1String("delete"))
            other.execute(QStringLiteral("DELETE FROM Speeches WHERE ID = 1"));
        else if (change == QLatin1String("move"))
            other.execute(QStringLiteral("UPDATE Speeches SET TaalID = 2 WHERE ID = 1"));
        else if (change == QLatin1String("replace"))
            other.execute(QStringLiteral("INSERT OR REPLACE INTO Speeches (ID, TaalID, Keywords) VALUES (1, 1, 'calm'), "
                                         "(3, 1, 'wind and rain')"));
        else if (change == QLatin1String("renumber"))
            other.execute(QStringLiteral("UPDATE Speeches SET ID = 9 WHERE ID = 1"));
        else
            other.execute(QStringLiteral("INSERT INTO Speeches (ID, TaalID, Keywords) VALUES (5000000000, 1, 'wind')"));
    }
    QCOMPARE(searchHits(f, searchText, 1), expected);
    QCOMPARE(scannedHits(f, searchText, 1), expected);
    QCOMPARE(indexedHits(f, searchText, 1), change == QLatin1String("huge") ? Ids{-1} : expected);
    // The index's own check finds it whole.
    f.db->execute(QStringLiteral("INSERT INTO TinlarkKeywordIndex (TinlarkKeywordIndex) VALUES ('integrity-check')"));
}

void tst_KeywordIndex::earlierBuildsFileIsIndexedInBatchesThatMissNoChange_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("byThisBuild"); // or by an earlier build, which leaves notes behind
    // Speeches 10, 20, ... 120; the first batch takes in 10 to 40.
    const std::pair<const char *, const char *> changes[] = {
        {"edit behind the build", "UPDATE Speeches SET Keywords = 'nothing' WHERE ID = 20"},
        {"edit ahead of the build", "UPDATE Speeches SET Keywords = 'thankful' WHERE ID = 70"},
        {"delete behind the build", "DELETE FROM Speeches WHERE ID = 30"},
        {"insert ahead of the build", "INSERT INTO Speeches (ID, TaalID, Keywords) VALUES (130, 1, 'thanks again')"},
        {"insert behind the build", "INSERT INTO Speeches (ID, TaalID, Keywords) VALUES (15, 1, 'thanks again')"},
        {"move from behind to ahead", "UPDATE Speeches SET ID = 125 WHERE ID = 10"},
        {"move from ahead to behind", "UPDATE Speeches SET ID = 15 WHERE ID = 100"},
        {"other language behind the build", "UPDATE Speeches SET TaalID = 2 WHERE ID = 40"},
    };
    for (const auto &[name, sql] : changes) {
        QTest::addRow("%s, this build", name) << QString::fromLatin1(sql) << true;
        QTest::addRow("%s, an earlier build", name) << QString::fromLatin1(sql) << false;
    }
}

// A file an earlier build made gets its index in batches beside the program's work, which
// a stop (or a crash) between two batches leaves where it was; searches read the keywords
// until the index is whole, and find the same speeches before and after.
void tst_KeywordIndex::earlierBuildsFileIsIndexedInBatchesThatMissNoChange()
{
    QFETCH(QString, change);
    QFETCH(bool, byThisBuild);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Speeches.csp"));
    {
        EarlierBuild earlier(path);
        QCOMPARE(sqlite3_exec(earlier.db, EarlierSchema, nullptr, nullptr, nullptr), SQLITE_OK);
        for (int id = 10; id <= 120; id += 10)
            earlier.execute(QStringLiteral("INSERT INTO Speeches (ID, TaalID, Keywords) VALUES (?, 1, ?)"),
                            {id, id % 20 == 0 ? QStringLiteral("Thanks %1").arg(id) : QStringLiteral("hello")});
    }
    StoreFixture f; // only for its record-set helper; it gets the earlier file's connection
    f.connection->setConnectionString(DatabaseTexts::connectionString(path));
    const QStringList searches{QStringLiteral("THANK"), QStringLiteral("hel"), QStringLiteral("nothing")};
    QCOMPARE(indexedHits(f, searches[0], 1), Ids{-1});

    {
        KeywordIndexBuild build(path, 4);
        build.start();
        QVERIFY(build.runBatch());
        if (byThisBuild) {
            TransactionGuard write(f.connection->handle());
            Statement(f.connection->handle(), change).execute({});
            write.commit();
        } else {
            EarlierBuild(path).execute(change);
        }
        for (const QString &text : searches) {
            QCOMPARE(indexedHits(f, text, 1), Ids{-1});
            QCOMPARE(searchHits(f, text, 1), scannedHits(f, text, 1));
        }
    } // stopped half-way, as at a crash: the next run goes on from there

    KeywordIndexBuild resumed(path, 4);
    resumed.start();
    QCOMPARE_GT(resumed.percentDone(), 25);
    int batches = 1;
    while (resumed.runBatch())
        ++batches;
    QCOMPARE_LE(batches, 3); // from the start it takes four
    QCOMPARE(resumed.percentDone(), 100);
    // Whole now, with every speech once: a later change of them all leaves nothing behind.
    for (const bool changedAfter : {false, true}) {
        if (changedAfter) {
            TransactionGuard write(f.connection->handle());
            Statement(f.connection->handle(), QStringLiteral("UPDATE Speeches SET Keywords = 'later'")).execute({});
            write.commit();
        }
        for (const QString &text : searches) {
            const Ids scanned = scannedHits(f, text, 1);
            QCOMPARE(indexedHits(f, text, 1), scanned);
            QCOMPARE(searchHits(f, text, 1), scanned);
        }
    }
    EarlierBuild(path).execute(QStringLiteral("INSERT INTO TinlarkKeywordIndex (TinlarkKeywordIndex) VALUES ('integrity-check')"));
}

TINLARK_TEST_MAIN(tst_KeywordIndex)
#include "tst_KeywordIndex.moc"
