#include "Database.h"
#include "Field.h"
#include "SpeechTextSearch.h"
#include "StoreFixture.h"
#include "TestMain.h"
#include "WordIndexBuild.h"

struct Library;

class tst_SpeechTextSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void findsRankedPlainWords_data();
    void findsRankedPlainWords();
    void indexFollowsEveryChange();
    void interruptedBuildGoesOn_data();
    void interruptedBuildGoesOn();
    void hugeSpeechBlocksNoOtherChange();

private:
    std::unique_ptr<Library> m_library; // read only, shared by the rows
};

// Dutch unless named: keywords, text, comments. Copies: Groeten once.
struct Library
{
    StoreFixture f;
    int dutch = f.db->addLanguage(QStringLiteral("Dutch"));
    int english = f.db->addLanguage(QStringLiteral("English"));
    int formal = f.db->addSpeech(dutch, QStringLiteral("Groet formeel"), QStringLiteral("Geachte heer"));
    int farewell = f.db->addSpeech(dutch, QStringLiteral("afscheid"), QStringLiteral("Met vriendelijke groet"));
    int complaint = f.db->addSpeech(dutch, QStringLiteral("klacht"), QStringLiteral("Wij betreuren"),
                                    QStringLiteral("groeten aan Émile"));
    int school = f.db->addSpeech(dutch, QStringLiteral("ÉCOLE, Ölçü"), QStringLiteral("naïve CAFÉ"));
    int greeting = f.db->addSpeech(english, QStringLiteral("greeting"), QStringLiteral("Dear sir, groet"));
    int hostile = f.db->addSpeech(dutch, QStringLiteral("quote \"x\" AND OR"), QStringLiteral("NEAR(a b) * ^ : - + ("));
    int greetings = f.db->addSpeech(dutch, QStringLiteral("groeten"));
    int german = f.db->addSpeech(dutch, QStringLiteral("Grüße aus der Filiale"),
                                 QStringLiteral("HAUPTSTRASSE, \uFB01nanciën"));

    Library() { SpeechTextSearch::noteCopied(*f.connection, greetings); }

    QList<qint64> find(const QString &typed, bool allLanguages = false)
    {
        QList<qint64> ids;
        for (const SpeechMatch &match : SpeechTextSearch::find(*f.connection, typed,
                                                               allLanguages ? std::nullopt : std::optional<qint64>(dutch)))
            ids.append(match.speechId);
        return ids;
    }
};

namespace {

void setIndexComplete(TestDatabase &db, bool complete)
{
    const bool server = TestServer::enabled();
    db.execute(QStringLiteral("UPDATE \"TinlarkWordState\" SET \"Complete\" = %1")
                   .arg(complete ? (server ? "true" : "1") : (server ? "false" : "0")));
}

} // namespace

void tst_SpeechTextSearch::initTestCase()
{
    m_library = std::make_unique<Library>();
}

void tst_SpeechTextSearch::cleanupTestCase()
{
    m_library.reset();
}

void tst_SpeechTextSearch::findsRankedPlainWords_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("allLanguages");
    QTest::addColumn<QStringList>("expected"); // member names, in rank order
    const QStringList greetingsRanked{"greetings", "formal", "farewell", "complaint"};
    // Keywords before text before comments; a copied speech first among its equals.
    QTest::newRow("prefix") << "groe" << false << greetingsRanked;
    QTest::newRow("case") << "GROE" << false << greetingsRanked;
    QTest::newRow("all languages") << "groe" << true
                                   << QStringList{"greetings", "formal", "farewell", "greeting", "complaint"};
    QTest::newRow("accents either side") << "ecole olcu" << false << QStringList{"school"};
    QTest::newRow("typed accents") << "CÀFE NAÏVE" << false << QStringList{"school"};
    QTest::newRow("any order, across columns") << "heer groet" << false << QStringList{"formal"};
    QTest::newRow("words in different columns") << "groet klacht" << false << QStringList{"complaint"};
    QTest::newRow("every word needed") << "groet zzz" << false << QStringList{};
    QTest::newRow("other language left out") << "greet" << false << QStringList{};
    // Full case folding on both sides: ß and ẞ are ss, the ligature ﬁ is fi.
    QTest::newRow("ss for ß") << "grüsse" << false << QStringList{"german"};
    QTest::newRow("SS for ß") << "GRÜSSE" << false << QStringList{"german"};
    QTest::newRow("SS for ß, no accent") << "GRUSSE" << false << QStringList{"german"};
    QTest::newRow("ß for ss") << "hauptstraße" << false << QStringList{"german"};
    QTest::newRow("capital ẞ for SS") << "HAUPTSTRAẞE" << false << QStringList{"german"};
    QTest::newRow("fi for the ligature") << "FINANCIEN" << false << QStringList{"german"};
    QTest::newRow("ligature typed") << "\uFB01liale" << false << QStringList{"german"};
    // Nothing typed: the copied speeches; no words typed: none.
    QTest::newRow("nothing typed") << "" << false << QStringList{"greetings"};
    QTest::newRow("only white space") << " \t\n" << true << QStringList{"greetings"};
    // Hostile text is words: quotes, operators of the query language, SQL, NUL, length.
    QTest::newRow("quotes and AND") << "\"x\" AND" << false << QStringList{"hostile"};
    QTest::newRow("NEAR(") << "NEAR(a" << false << QStringList{"hostile"};
    QTest::newRow("operators alone") << "* ^ : - + ( ) \" '" << false << QStringList{};
    QTest::newRow("SQL") << "'; DROP TABLE Speeches; --" << false << QStringList{};
    QTest::newRow("NUL parts words") << QString::fromUtf16(u"gro\0e", 5) << false << QStringList{"complaint"};
    QTest::newRow("a thousand words") << QString("groet ").repeated(1000) << false << greetingsRanked;
    QTest::newRow("1 MB word") << QString("g").repeated(1 << 20) << false << QStringList{};
}

// Ranking, folding and hostile input through the index, and the same answers by reading the
// speeches while the index is not built.
void tst_SpeechTextSearch::findsRankedPlainWords()
{
    QFETCH(QString, typed);
    QFETCH(bool, allLanguages);
    QFETCH(QStringList, expected);
    Library &l = *m_library;
    const QMap<QString, int> idOf{{"formal", l.formal},       {"farewell", l.farewell}, {"complaint", l.complaint},
                                  {"school", l.school},       {"greeting", l.greeting}, {"hostile", l.hostile},
                                  {"greetings", l.greetings}, {"german", l.german}};
    QList<qint64> ids;
    for (const QString &name : expected)
        ids.append(idOf.value(name));
    QVERIFY(l.f.connection->handle()->wordIndex()->ready());
    QCOMPARE(l.find(typed, allLanguages), ids);
    setIndexComplete(*l.f.db, false);
    const QList<qint64> byReading = l.find(typed, allLanguages);
    setIndexComplete(*l.f.db, true);
    QCOMPARE(byReading, ids);
    QCOMPARE(l.f.db->count("SELECT count(*) FROM Speeches"), 8);
}

// Inserts, edits, language changes and deletes by this program and by another one's plain SQL
// are found at once; a deleted speech's copies go with it.
void tst_SpeechTextSearch::indexFollowsEveryChange()
{
    Library l;
    auto set = l.f.recordSet(DatabaseTexts::SpeechListCommand);
    set->open();
    QVERIFY(set->locate(QStringLiteral("ID"), l.formal));
    set->edit();
    set->fieldByName(QStringLiteral("Comments"))->setAsString(QStringLiteral("zeldzaam"));
    set->post();
    QCOMPARE(l.find("zeldz"), QList<qint64>{l.formal});
    // Two changes before the next search: the index lets go of the words it held.
    l.f.db->execute(QStringLiteral("UPDATE Speeches SET Comments = 'anders' WHERE ID = %1").arg(l.formal));
    l.f.db->execute(QStringLiteral("UPDATE Speeches SET Comments = 'derde' WHERE ID = %1").arg(l.formal));
    QCOMPARE(l.find("zeldz"), QList<qint64>{});
    QCOMPARE(l.find("anders"), QList<qint64>{});
    QCOMPARE(l.find("derde"), QList<qint64>{l.formal});
    l.f.db->execute(QStringLiteral("UPDATE Speeches SET TaalID = %1 WHERE ID = %2").arg(l.english).arg(l.school));
    QCOMPARE(l.find("ecole"), QList<qint64>{});
    QCOMPARE(l.find("ecole", true), QList<qint64>{l.school});
    QCOMPARE(l.find("nieuw"), QList<qint64>{});
    l.f.db->execute(QStringLiteral("INSERT INTO Speeches (TaalID, Keywords) VALUES (%1, 'nieuw')").arg(l.dutch));
    QCOMPARE(l.find("nieuw").size(), 1);
    // More words beginning with the typed one than are looked up one by one, the last of them apart.
    QStringList many;
    for (int word = 0; word < 100; ++word)
        many.append(QStringLiteral("veelv%1").arg(word, 3, 10, QLatin1Char('0')));
    for (const QString &text : {many.join(' '), QStringLiteral("veelvzzz")})
        l.f.db->execute(QStringLiteral("INSERT INTO Speeches (TaalID, Tekst) VALUES (%1, '%2')").arg(l.dutch).arg(text));
    QCOMPARE(l.find("veelv").size(), 2);
    l.f.db->execute(QStringLiteral("DELETE FROM Speeches WHERE ID = %1").arg(l.greetings));
    QCOMPARE(l.find("groeten"), QList<qint64>{l.complaint});
    QCOMPARE(l.f.db->count("SELECT count(*) FROM \"SpeechCopies\""), 0);
}

void tst_SpeechTextSearch::interruptedBuildGoesOn_data()
{
    QTest::addColumn<QString>("earlierIndex"); // what makes the library's index as an earlier build left it
    const bool server = TestServer::enabled();
    QTest::newRow("none") << (server ? "DROP TABLE \"TinlarkWords\"" : "DROP TABLE TinlarkWordState");
    QTest::newRow("words folded otherwise")
        << (server ? "ALTER TABLE \"TinlarkWordState\" DROP COLUMN \"Folding\""
                   : "UPDATE TinlarkWordState SET Version = '4 words ascii, keywords apart, word list, prefixes to 4, "
                     "Unicode 15.0'");
}

// A library without the index, or with one of an earlier build, is searched by reading it; the
// index is built (again) in batches, and a build stopped half-way and changes made meanwhile
// leave it correct once it is complete.
void tst_SpeechTextSearch::interruptedBuildGoesOn()
{
    QFETCH(QString, earlierIndex);
    Library l;
    const QList<qint64> before = l.find("groe", true);
    l.f.connection->close();
    l.f.db->execute(earlierIndex);
    QCOMPARE(l.find("groe", true), before);
    QVERIFY(WordIndexBuild::wanted(*l.f.connection));

    WordIndexBuild stopped(l.f.connection->connectionString(), 2);
    stopped.start();
    QVERIFY(stopped.runBatch());
    QCOMPARE(stopped.state().indexed, 2);
    // One speech the index holds already, one it does not yet.
    l.f.db->execute(QStringLiteral("UPDATE Speeches SET Keywords = 'groeiend' WHERE ID = %1").arg(l.complaint));
    l.f.db->execute(QStringLiteral("UPDATE Speeches SET Keywords = 'weg' WHERE ID = %1").arg(l.formal));
    WordIndexBuild resumed(l.f.connection->connectionString());
    resumed.start();
    while (resumed.runBatch()) {
    }
    QCOMPARE(resumed.state().indexed, 8);
    QVERIFY(!WordIndexBuild::wanted(*l.f.connection));
    QCOMPARE(l.find("groe", true), (QList<qint64>{l.greetings, l.complaint, l.farewell, l.greeting}));
    QCOMPARE(l.find("weg"), QList<qint64>{l.formal});
}

// A speech of 1.4 MB in 110,000 different words (more than an engine's word index may hold for
// one row), and a word of 3,000 letters, stored by another program: the next post of a speech
// is stored and found, and the huge speech is found by its first words.
void tst_SpeechTextSearch::hugeSpeechBlocksNoOtherChange()
{
    Library l;
    QStringList words;
    for (int i = 0; i < 110000; ++i) {
        QString word = QStringLiteral("huge");
        for (int n = i, digit = 0; digit < 4; ++digit, n /= 26)
            word += QChar(u'a' + n % 26);
        words.append(word + QStringLiteral("lexeme"));
    }
    l.f.db->execute(QStringLiteral("INSERT INTO Speeches (TaalID, Keywords, Tekst) VALUES (%1, 'huge', '%2 %3')")
                        .arg(l.dutch)
                        .arg(QString(3000, QChar(u'x')), words.join(QLatin1Char(' '))));
    auto set = l.f.recordSet(DatabaseTexts::SpeechListCommand);
    set->open();
    QVERIFY(set->locate(QStringLiteral("ID"), l.formal));
    set->edit();
    set->fieldByName(QStringLiteral("Comments"))->setAsString(QStringLiteral("zeldzaam"));
    set->post();
    QCOMPARE(l.find("zeldz"), QList<qint64>{l.formal});
    QCOMPARE(l.find(words.first()).size(), 1);
}

QTEST_MAIN(tst_SpeechTextSearch)
#include "tst_SpeechTextSearch.moc"
