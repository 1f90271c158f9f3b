#include "DataLink.h"
#include "DataSource.h"
#include "EDatabaseError.h"
#include "EPostConflict.h"
#include "Field.h"
#include "SqliteDatabase.h"
#include "StoreFixture.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QCryptographicHash>

namespace {

QByteArray fileHash(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

// Writes down what the record set tells its data source and its own events, in order.
struct EventLog : DataLink
{
    QStringList events;
    void stateChanged() override { events.append(QStringLiteral("state")); }
    void recordChanged(Field *field) override
    {
        events.append(field ? QStringLiteral("field:") + field->fieldName() : QStringLiteral("record"));
    }
    void updateData() override { events.append(QStringLiteral("update")); }
};

} // namespace

class tst_RecordSet : public QObject
{
    Q_OBJECT

private slots:
    void sqliteDeclaredSizes_data();
    void sqliteDeclaredSizes();
    void movesSetBeginAndEndFlags();
    void emptyListSetsBothFlags();
    void filterNarrowsAndLocateFinds();
    void filterChangeStoresChangedRowAndDropsUnchangedOne();
    void insertEditPostCancelDelete();
    void editOnEmptySetStartsNewRow();
    void eventsComeInOrder();
    void refusedWritesLeaveRowAndFileAsTheyWere_data();
    void refusedWritesLeaveRowAndFileAsTheyWere();
    void storingOverAnotherVersionIsCheckedAgainstTheOneSeen();
    void storingOverWritesOnlyWhatTheUserChanged_data();
    void storingOverWritesOnlyWhatTheUserChanged();
    void twoUsersOfOneFileSeeEachOthersWork();
    void closedAndEmptySetsRefuseWithClearMessages();
    void idsAreUniquePositiveAndNeverReused();
    void textsRoundTripWithoutLoss();
    void languagesComeInOrderOfName();
    void rowsAreReadByPositionWithoutMoving();
    void keywordSearch_data();
    void keywordSearch();
    void keywordSearchTextNeverBecomesSql_data();
    void keywordSearchTextNeverBecomesSql();
    void connectionOpensExistingFilesOnly();
    void pathReachesTheFileUnchanged_data();
    void pathReachesTheFileUnchanged();
};

void tst_RecordSet::sqliteDeclaredSizes_data()
{
    QTest::addColumn<QString>("declaredType");
    QTest::addColumn<int>("size");
    QTest::newRow("sized") << "VARCHAR(50)" << 50;
    QTest::newRow("blanks everywhere") << " varchar ( 255 ) " << 255;
    QTest::newRow("more after it") << "NVARCHAR(20) NOT NULL" << 20;
    QTest::newRow("no size") << "TEXT" << 0;
    QTest::newRow("no type name") << "(50)" << 0;
    QTest::newRow("unclosed") << "VARCHAR(50" << 0;
    QTest::newRow("two numbers") << "DECIMAL(10,2)" << 0;
    QTest::newRow("two words") << "CHARACTER VARYING(50)" << 0;
    QTest::newRow("not a number") << "VARCHAR(5x)" << 0;
    QTest::newRow("too large") << "VARCHAR(99999999999)" << 0;
    QTest::newRow("empty") << "" << 0;
}

// The size of a text column as SQLite keeps its declaration: a file made elsewhere may
// declare anything.
void tst_RecordSet::sqliteDeclaredSizes()
{
    QFETCH(QString, declaredType);
    QFETCH(int, size);
    QCOMPARE(SqliteDatabase::declaredSize(declaredType), size);
}

void tst_RecordSet::movesSetBeginAndEndFlags()
{
    StoreFixture f;
    for (int i = 0; i < 3; ++i)
        f.db->addSpeech(1, QStringLiteral("k%1").arg(i));
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    set->open();
    QVERIFY(set->bof());
    QVERIFY(!set->eof());
    Field *id = set->fieldByName(QStringLiteral("ID"));
    QCOMPARE(id->asInteger(), 1);

    set->next();
    set->next();
    QCOMPARE(id->asInteger(), 3);
    QVERIFY(!set->bof() && !set->eof()); // on the last row, but no move has failed yet
    set->next();
    QVERIFY(set->eof());
    QCOMPARE(id->asInteger(), 3);

    set->prior();
    set->prior();
    QCOMPARE(id->asInteger(), 1);
    QVERIFY(!set->bof());
    set->prior();
    QVERIFY(set->bof());
    QCOMPARE(id->asInteger(), 1);

    set->last();
    QVERIFY(set->eof() && !set->bof());
    QCOMPARE(id->asInteger(), 3);
    set->first();
    QVERIFY(set->bof() && !set->eof());
    QCOMPARE(set->recordCount(), 3);
    QCOMPARE(set->recNo(), 0);
    set->setRecNo(2);
    QCOMPARE(id->asInteger(), 3);
}

void tst_RecordSet::emptyListSetsBothFlags()
{
    StoreFixture f;
    f.db->addSpeech(2, QStringLiteral("other language"));
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    set->setFilter(DatabaseTexts::languageFilter(1));
    set->setFiltered(true);
    set->open();
    QVERIFY(set->bof() && set->eof());
    QVERIFY(set->isEmpty());
    QCOMPARE(set->fieldByName(QStringLiteral("ID"))->asInteger(), 0);
    QCOMPARE(set->fieldByName(QStringLiteral("Tekst"))->asString(), QString());
    set->next();
    set->prior();
    QVERIFY(set->bof() && set->eof());
}

void tst_RecordSet::filterNarrowsAndLocateFinds()
{
    StoreFixture f;
    const int a1 = f.db->addSpeech(1, QStringLiteral("a1"));
    const int b1 = f.db->addSpeech(2, QStringLiteral("b1"));
    const int a2 = f.db->addSpeech(1, QStringLiteral("a2"));
    const int orphan = f.db->addSpeech(99, QStringLiteral("no such language"));
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    set->open();
    QCOMPARE(set->recordCount(), 4);

    set->setFilter(QStringLiteral("TaalId = 1")); // the column is TaalID: names ignore case
    set->setFiltered(true);
    QCOMPARE(set->recordCount(), 2);
    Field *id = set->fieldByName(QStringLiteral("ID"));
    QCOMPARE(id->asInteger(), a1);
    QVERIFY(set->bof());
    set->next();
    QCOMPARE(id->asInteger(), a2);

    QVERIFY(!set->locate(DatabaseTexts::LocateKey, b1)); // filtered out
    QCOMPARE(id->asInteger(), a2);
    QVERIFY(!set->locate(DatabaseTexts::LocateKey, orphan));
    QVERIFY(!set->locate(DatabaseTexts::LocateKey, 0));
    QVERIFY(set->locate(DatabaseTexts::LocateKey, a1));
    QCOMPARE(id->asInteger(), a1);
    QVERIFY(!set->bof() && !set->eof());

    set->setFilter(DatabaseTexts::languageFilter(2));
    QCOMPARE(id->asInteger(), b1);
    set->setFilter(QStringLiteral("(TaalID = 1 or TaalID = 2) and not Keywords like 'a_'"));
    QCOMPARE(set->recordCount(), 1);
    set->setFiltered(false);
    QCOMPARE(set->recordCount(), 4);

    set->setFiltered(true);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, set->setFilter(QStringLiteral("Nonsense = 1")));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, set->setFilter(QStringLiteral("TaalID = ")));
    QCOMPARE(set->recordCount(), 1); // the old filter stays in force
}

void tst_RecordSet::filterChangeStoresChangedRowAndDropsUnchangedOne()
{
    StoreFixture f;
    f.db->addSpeech(1, QStringLiteral("one"));
    f.db->addSpeech(2, QStringLiteral("two"));
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    set->setFilter(DatabaseTexts::languageFilter(1));
    set->setFiltered(true);
    set->open();

    set->edit();
    set->fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("changed"));
    set->setFilter(DatabaseTexts::languageFilter(2));
    QCOMPARE(set->state(), DataSetState::Browse);
    QCOMPARE(f.db->text(QStringLiteral("select Keywords from Speeches where ID = 1")), QStringLiteral("changed"));

    set->insert(); // unchanged: dropped
    set->setFilter(DatabaseTexts::languageFilter(1));
    QCOMPARE(set->state(), DataSetState::Browse);
    QCOMPARE(f.db->count(QStringLiteral("select count(*) from Speeches")), 2);

    set->setFilter(DatabaseTexts::languageFilter(1)); // the same text again changes nothing
    QCOMPARE(set->fieldByName(QStringLiteral("Keywords"))->asString(), QStringLiteral("changed"));
}

void tst_RecordSet::insertEditPostCancelDelete()
{
    StoreFixture f;
    const int first = f.db->addSpeech(1, QStringLiteral("first"));
    const int second = f.db->addSpeech(1, QStringLiteral("second"));
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    set->open();
    Field *keywords = set->fieldByName(QStringLiteral("Keywords"));
    Field *id = set->fieldByName(QStringLiteral("ID"));

    set->edit();
    keywords->setAsString(QStringLiteral("edited"));
    QVERIFY(set->modified());
    set->cancel();
    QCOMPARE(keywords->asString(), QStringLiteral("first"));
    QCOMPARE(f.db->text(QStringLiteral("select Keywords from Speeches where ID = 1")), QStringLiteral("first"));

    set->insert();
    QCOMPARE(set->state(), DataSetState::Insert);
    QCOMPARE(id->asInteger(), 0);
    set->fieldByName(QStringLiteral("TaalID"))->setAsInteger(1);
    keywords->setAsString(QStringLiteral("new"));
    set->post();
    const int added = id->asInteger();
    QVERIFY(added > second);
    QCOMPARE(f.db->text(QStringLiteral("select Keywords from Speeches where ID = %1").arg(added)), QStringLiteral("new"));

    set->append();
    set->cancel();
    QCOMPARE(id->asInteger(), added); // back where it was

    set->first();
    set->deleteRecord();
    QCOMPARE(id->asInteger(), second); // the next row takes its place
    QCOMPARE(f.db->count(QStringLiteral("select count(*) from Speeches where ID = %1").arg(first)), 0);
    set->last();
    set->deleteRecord();
    QCOMPARE(id->asInteger(), second); // at the end, the row before it
    QVERIFY(set->eof());
    set->deleteRecord();
    QVERIFY(set->isEmpty());
    QVERIFY(set->bof() && set->eof());
}

void tst_RecordSet::editOnEmptySetStartsNewRow()
{
    StoreFixture f;
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    set->open();
    set->edit();
    QCOMPARE(set->state(), DataSetState::Insert);
    set->fieldByName(QStringLiteral("Tekst"))->setAsString(QStringLiteral("hello"));
    set->post();
    QCOMPARE(f.db->count(QStringLiteral("select count(*) from Speeches")), 1);
    QVERIFY(!set->isEmpty());
}

void tst_RecordSet::eventsComeInOrder()
{
    StoreFixture f;
    f.db->addSpeech(1, QStringLiteral("a"));
    f.db->addSpeech(1, QStringLiteral("b"));
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    EventLog log;
    DataSource source(set.get());
    source.addLink(&log);
    QStringList &events = log.events;
    QObject::connect(&source, &DataSource::onStateChange, [&] { events.append(QStringLiteral("onStateChange")); });
    // Two parts may listen to the scroll: each is told, in the order they connected.
    QObject::connect(set.get(), &RecordSet::afterScroll, [&] { events.append(QStringLiteral("afterScroll")); });
    QObject::connect(set.get(), &RecordSet::afterScroll, [&] { events.append(QStringLiteral("afterScroll too")); });
    set->beforePost = [&] {
        events.append(QStringLiteral("beforePost"));
        set->fieldByName(QStringLiteral("TaalID"))->setAsInteger(7); // fields may still be set
    };

    set->open();
    QCOMPARE(events, (QStringList{"state", "onStateChange", "record", "afterScroll", "afterScroll too"}));
    events.clear();
    set->next();
    QCOMPARE(events, (QStringList{"record", "afterScroll", "afterScroll too"}));
    events.clear();
    set->edit();
    set->fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("x"));
    set->post();
    QCOMPARE(events, (QStringList{"state", "onStateChange", "field:Keywords", "update", "beforePost", "field:TaalID",
                                  "state", "onStateChange", "record"}));
    QCOMPARE(f.db->count(QStringLiteral("select TaalID from Speeches where ID = 2")), 7);
    events.clear();
    set->close();
    QCOMPARE(events, (QStringList{"state", "onStateChange", "record"}));
}

void tst_RecordSet::refusedWritesLeaveRowAndFileAsTheyWere_data()
{
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("says");
    QTest::newRow("keywords over 50 characters") << "long" << "";
    QTest::newRow("before-post failure") << "beforePost" << "refused";
    QTest::newRow("row deleted by another program") << "deleted" << "someone else deleted it";
    QTest::newRow("another field changed by another program") << "changed" << "someone else changed it";
    QTest::newRow("read-only record set") << "readOnly" << "";
}

void tst_RecordSet::refusedWritesLeaveRowAndFileAsTheyWere()
{
    QFETCH(QString, refusal);
    QFETCH(QString, says);
    StoreFixture f;
    f.db->addSpeech(1, QStringLiteral("keep"), QStringLiteral("text"));
    const QByteArray before = fileHash(f.db->path());
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand,
                           refusal == QLatin1String("readOnly") ? LockType::ReadOnly : LockType::Optimistic);
    set->open();
    Field *keywords = set->fieldByName(QStringLiteral("Keywords"));
    if (refusal == QLatin1String("readOnly")) {
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, set->edit());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, set->insert());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, set->deleteRecord());
        QCOMPARE(set->state(), DataSetState::Browse);
        QCOMPARE(fileHash(f.db->path()), before);
        return;
    }
    set->edit();
    keywords->setAsString(QStringLiteral("typed"));
    if (refusal == QLatin1String("long")) {
        try {
            keywords->setAsString(QString(51, QLatin1Char('x')));
            QFAIL("a value of 51 characters was taken");
        } catch (const EDatabaseError &error) {
            QVERIFY2(error.message().contains(QLatin1String("50")), qPrintable(error.message()));
        }
        keywords->setAsString(QString(50, QChar(0x00E9))); // 50 is fine, whatever the letters
        set->cancel();
        set->edit();
        keywords->setAsString(QStringLiteral("typed"));
        set->beforePost = [&] { set->fieldByName(QStringLiteral("Tekst"))->setAsString(QStringLiteral("t")); };
        // A value too long slipped in by the before-post handler is refused at the post.
        set->beforePost = [&] { keywords->setValue(QString(60, QLatin1Char('y'))); };
    } else if (refusal == QLatin1String("beforePost")) {
        set->beforePost = [] { throw EDatabaseError(QStringLiteral("refused")); };
    } else if (refusal == QLatin1String("deleted")) {
        f.db->execute(QStringLiteral("delete from Speeches"));
    } else {
        f.db->execute(QStringLiteral("update Speeches set Tekst = 'theirs'"));
    }
    const QByteArray ready = fileHash(f.db->path());
    try {
        set->post();
        QFAIL("the post was not refused");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(says), qPrintable(error.message()));
    }
    QCOMPARE(set->state(), DataSetState::Edit);
    QCOMPARE(fileHash(f.db->path()), ready);
    if (refusal != QLatin1String("long"))
        QCOMPARE(keywords->asString(), QStringLiteral("typed"));
}

// After a refusal the user may store the typed row over the version now seen, but only over
// that one: a further change in between is refused again. A deleted row can become a new one.
void tst_RecordSet::storingOverAnotherVersionIsCheckedAgainstTheOneSeen()
{
    StoreFixture f;
    const int id = f.db->addSpeech(1, QStringLiteral("kw"), QStringLiteral("text"), QStringLiteral("note"));
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    set->open();
    set->edit();
    set->fieldByName(QStringLiteral("Comments"))->setAsString(QStringLiteral("mine"));
    const QString row = QStringLiteral("select Keywords || '|' || Tekst || '|' || Comments from Speeches where ID = %1").arg(id);
    f.db->execute(QStringLiteral("update Speeches set Tekst = 'theirs' where ID = %1").arg(id));
    QVERIFY_THROWS_EXCEPTION(EPostConflict, set->post());
    const QVariantList seen = set->storedRow().value();
    QCOMPARE(seen.at(set->fieldNames().indexOf(QStringLiteral("Tekst"))).toString(), QStringLiteral("theirs"));

    f.db->execute(QStringLiteral("update Speeches set Keywords = 'again' where ID = %1").arg(id));
    QVERIFY_THROWS_EXCEPTION(EPostConflict, set->postOver(seen));
    QCOMPARE(f.db->text(row), QStringLiteral("again|theirs|note"));
    QCOMPARE(set->fieldByName(QStringLiteral("Comments"))->asString(), QStringLiteral("mine"));
    set->postOver(set->storedRow().value());
    QCOMPARE(f.db->text(row), QStringLiteral("again|theirs|mine")); // only the field the user changed

    set->edit();
    set->fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("new"));
    f.db->execute(QStringLiteral("delete from Speeches where ID = %1").arg(id));
    try {
        set->post();
        QFAIL("the post over a deleted row was taken");
    } catch (const EPostConflict &conflict) {
        QCOMPARE(conflict.kind(), EPostConflict::Kind::Deleted);
    }
    QVERIFY(!set->storedRow());
    set->editAsNewRow();
    set->post();
    QVERIFY(set->currentKey() != id);
    QCOMPARE(f.db->text(QStringLiteral("select Keywords || '|' || Tekst || '|' || Comments from Speeches")),
             QStringLiteral("new|theirs|mine"));
}

void tst_RecordSet::storingOverWritesOnlyWhatTheUserChanged_data()
{
    QTest::addColumn<QStringList>("mine");   // field, value typed here, field, value, ...
    QTest::addColumn<QString>("theirs");     // what someone else stored meanwhile
    QTest::addColumn<QStringList>("asked");  // the fields both changed
    QTest::addColumn<QString>("stored");     // keywords|text|comments afterwards
    QTest::newRow("different fields") << QStringList{"Comments", "mine"} << "Keywords = 'theirs'" << QStringList()
                                      << "theirs|text|mine";
    QTest::newRow("two of theirs, one of mine") << QStringList{"Keywords", "mine"} << "Tekst = 't2', Comments = ''"
                                                << QStringList() << "mine|t2|";
    QTest::newRow("one field both") << QStringList{"Comments", "mine", "Tekst", "mine too"}
                                    << "Comments = 'theirs', Keywords = 'k2'" << QStringList{"Comments"} << "k2|mine too|mine";
    QTest::newRow("the same change on both sides") << QStringList{"Comments", "same"} << "Comments = 'same'"
                                                   << QStringList() << "kw|text|same";
}

// Two users changing one speech: a field only one of them changed keeps that change whoever
// stores last; only the fields both changed are the user's to decide, and storing over the other
// version writes only those the user changed.
void tst_RecordSet::storingOverWritesOnlyWhatTheUserChanged()
{
    QFETCH(QStringList, mine);
    QFETCH(QString, theirs);
    QFETCH(QStringList, asked);
    QFETCH(QString, stored);
    StoreFixture f;
    const int id = f.db->addSpeech(1, QStringLiteral("kw"), QStringLiteral("text"), QStringLiteral("note"));
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    set->open();
    set->edit();
    for (int i = 0; i < mine.size(); i += 2)
        set->fieldByName(mine[i])->setAsString(mine[i + 1]);
    f.db->execute(QStringLiteral("update Speeches set %1 where ID = %2").arg(theirs).arg(id));
    QVERIFY_THROWS_EXCEPTION(EPostConflict, set->post());
    const QVariantList seen = set->storedRow().value();
    QCOMPARE(set->fieldsChangedOnBothSides(seen), asked);
    set->postOver(seen);
    QCOMPARE(f.db->text(QStringLiteral("select Keywords || '|' || Tekst || '|' || Comments from Speeches where ID = %1").arg(id)),
             stored);
}

// Two programs on one file, each with its own connection: neither overwrites the other's
// stored change unseen, and each sees what the other stored without being restarted.
void tst_RecordSet::twoUsersOfOneFileSeeEachOthersWork()
{
    StoreFixture mine;
    const int first = mine.db->addSpeech(1, QStringLiteral("one"), QStringLiteral("text"));
    Connection otherConnection;
    otherConnection.setConnectionString(mine.connection->connectionString());
    RecordSet theirs(&otherConnection);
    theirs.setCommandText(DatabaseTexts::SpeechListCommand);
    auto set = mine.recordSet(DatabaseTexts::SpeechListCommand);
    set->open();
    theirs.open();

    // Both edit the same speech; theirs is stored first, mine is refused and kept.
    theirs.edit();
    theirs.fieldByName(QStringLiteral("Tekst"))->setAsString(QStringLiteral("their text"));
    theirs.post();
    set->edit();
    set->fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("my keywords"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, set->post());
    QCOMPARE(set->fieldByName(QStringLiteral("Keywords"))->asString(), QStringLiteral("my keywords"));
    set->cancel();
    set->refresh();
    QCOMPARE(set->fieldByName(QStringLiteral("Tekst"))->asString(), QStringLiteral("their text"));
    set->edit();
    set->fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("my keywords"));
    set->post();
    QCOMPARE(mine.db->text(QStringLiteral("select Keywords || '/' || Tekst from Speeches")),
             QStringLiteral("my keywords/their text"));

    // A speech they add is there at my next move; one they delete is gone from it.
    theirs.append();
    theirs.fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("theirs"));
    theirs.post();
    set->next();
    QCOMPARE(set->fieldByName(QStringLiteral("Keywords"))->asString(), QStringLiteral("theirs"));
    theirs.first();
    QCOMPARE(theirs.fieldByName(QStringLiteral("ID"))->asLargeInt(), qint64(first));
    theirs.deleteRecord();
    set->first();
    QCOMPARE(set->fieldByName(QStringLiteral("Keywords"))->asString(), QStringLiteral("theirs"));
    QCOMPARE(set->recordCount(), 1);
}

void tst_RecordSet::closedAndEmptySetsRefuseWithClearMessages()
{
    StoreFixture f;
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    try {
        set->next();
        QFAIL("moved a closed record set");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.message(), QStringLiteral("Cannot perform this operation on a closed dataset"));
    }
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, set->edit());
    QCOMPARE(set->fieldByName(QStringLiteral("Tekst"))->asString(), QString()); // reads nothing, fails nothing
    set->open();
    try {
        set->deleteRecord();
        QFAIL("deleted from an empty record set");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.message(), QStringLiteral("Cannot perform this operation on an empty dataset"));
    }
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, set->fieldByName(QStringLiteral("Tekst"))->setAsString(QStringLiteral("x")));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, set->setLockType(LockType::ReadOnly));
    set->close();
    set->setCommandText(QStringLiteral("select * from NoSuchTable"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, set->open());
    QVERIFY(!set->active());
}

void tst_RecordSet::idsAreUniquePositiveAndNeverReused()
{
    StoreFixture f;
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    set->open();
    QList<int> ids;
    for (int i = 0; i < 3; ++i) {
        set->append();
        set->fieldByName(QStringLiteral("Keywords"))->setAsString(QString::number(i));
        set->post();
        ids.append(set->fieldByName(QStringLiteral("ID"))->asInteger());
    }
    set->deleteRecord(); // the newest
    set->append();
    set->fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("after delete"));
    set->post();
    const int fresh = set->fieldByName(QStringLiteral("ID"))->asInteger();
    QVERIFY(ids[0] > 0);
    QVERIFY(ids[0] < ids[1] && ids[1] < ids[2]);
    QVERIFY(fresh > ids[2]);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, (set->edit(), set->fieldByName(QStringLiteral("ID"))->setAsInteger(1)));
}

void tst_RecordSet::textsRoundTripWithoutLoss()
{
    StoreFixture f;
    const QString text = QStringLiteral("Grüße, élève, Привет\r\nline two\tand a tab");
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    set->open();
    set->insert();
    set->fieldByName(QStringLiteral("Tekst"))->setAsString(text);
    set->fieldByName(QStringLiteral("Keywords"))->setAsString(QStringLiteral("ß"));
    set->post();
    set->close();
    set->open();
    QCOMPARE(set->fieldByName(QStringLiteral("Tekst"))->asString(), text);
    QCOMPARE(set->fieldByName(QStringLiteral("Comments"))->asString(), QString()); // null reads as empty
    QCOMPARE(set->fieldByName(QStringLiteral("Comments"))->asInteger(), 0);
}

void tst_RecordSet::languagesComeInOrderOfName()
{
    StoreFixture f;
    f.db->addLanguage(QStringLiteral("Nederlands"));
    f.db->addLanguage(QStringLiteral("Deutsch"));
    f.db->addLanguage(QStringLiteral("English"));
    auto set = f.recordSet(DatabaseTexts::LanguageListCommand);
    set->open();
    QStringList names;
    for (set->first(); !set->eof(); set->next())
        names.append(set->fieldByName(QStringLiteral("Taal"))->asString());
    QCOMPARE(names, (QStringList{"Deutsch", "English", "Nederlands"}));

    // A row inserted in the middle stays where it was inserted until the list is read again.
    set->setRecNo(1);
    set->insert();
    set->fieldByName(QStringLiteral("Taal"))->setAsString(QStringLiteral("Zulu"));
    set->post();
    QCOMPARE(set->recNo(), 1);
    set->refresh();
    set->last();
    QCOMPARE(set->fieldByName(QStringLiteral("Taal"))->asString(), QStringLiteral("Zulu"));
}

void tst_RecordSet::rowsAreReadByPositionWithoutMoving()
{
    StoreFixture f;
    f.db->addLanguage(QStringLiteral("Nederlands"));
    const int deutsch = f.db->addLanguage(QStringLiteral("Deutsch"));
    f.db->addLanguage(QStringLiteral("English"));
    f.db->addSpeech(deutsch, QStringLiteral("a"));
    f.db->addSpeech(deutsch, QStringLiteral("b"));
    auto set = f.recordSet(DatabaseTexts::LanguageListCommand);
    QVERIFY(!set->valueAt(0, QStringLiteral("Taal")).isValid()); // closed
    set->open();
    set->setRecNo(1);
    set->edit();
    Field *name = set->fieldByName(QStringLiteral("Taal"));
    name->setAsString(QStringLiteral("Engels"));
    QCOMPARE(set->valueAt(0, QStringLiteral("taal")).toString(), QStringLiteral("Deutsch"));
    QCOMPARE(set->valueAt(1, QStringLiteral("Taal")).toString(), QStringLiteral("English")); // as stored
    QCOMPARE(set->valueAt(2, QStringLiteral("Taal")).toString(), QStringLiteral("Nederlands"));
    QVERIFY(!set->valueAt(3, QStringLiteral("Taal")).isValid());
    QVERIFY(!set->valueAt(-1, QStringLiteral("Taal")).isValid());
    QVERIFY(!set->valueAt(0, QStringLiteral("Nothing")).isValid());
    // The pending edit and the cursor are untouched.
    QCOMPARE(set->state(), DataSetState::Edit);
    QCOMPARE(name->asString(), QStringLiteral("Engels"));
    QCOMPARE(set->recNo(), 1);
    QCOMPARE(set->newRowPosition(), -1);
    set->cancel();

    // A new row stands in front of the row it was inserted before, or at the end.
    set->insert();
    QCOMPARE(set->newRowPosition(), 1);
    set->cancel();
    set->append();
    QCOMPARE(set->newRowPosition(), 3);
    set->cancel();
    set->last();
    set->insert();
    QCOMPARE(set->newRowPosition(), 2);
    set->cancel();

    QCOMPARE(f.connection->scalar(DatabaseTexts::SpeechCountOfLanguage, {deutsch}).toInt(), 2);
    QCOMPARE(f.connection->scalar(DatabaseTexts::SpeechCountOfLanguage, {deutsch + 1}).toInt(), 0);
    QVERIFY(!f.connection->scalar(QStringLiteral("select 1 where 1 = 0")).isValid());
}

void tst_RecordSet::keywordSearch_data()
{
    QTest::addColumn<QString>("searchText");
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("fragment anywhere") << "vac" << 1 << QStringList{"holiday vacation", "VACANCY"};
    QTest::newRow("capitals find small letters") << "HOLIDAY" << 1 << QStringList{"holiday vacation"};
    QTest::newRow("small letters find capitals") << "vacancy" << 1 << QStringList{"VACANCY"};
    QTest::newRow("accented capitals") << "ÉLÈVE" << 1 << QStringList{"élève"};
    QTest::newRow("umlaut") << "ä" << 1 << QStringList{"Ärger"};
    QTest::newRow("greek") << "Σοφία" << 1 << QStringList{"σοφία"};
    QTest::newRow("cyrillic") << "ПРИВЕТ" << 1 << QStringList{"привет"};
    QTest::newRow("underscore is any one character") << "h_liday" << 1 << QStringList{"holiday vacation"};
    QTest::newRow("percent is any run") << "hol%tion" << 1 << QStringList{"holiday vacation"};
    QTest::newRow("only the language asked for") << "other" << 1 << QStringList{};
    QTest::newRow("a language without speeches") << "" << 3 << QStringList{};
    QTest::newRow("empty text finds all of a language") << "" << 2 << QStringList{"other language"};
}

void tst_RecordSet::keywordSearch()
{
    QFETCH(QString, searchText);
    QFETCH(int, language);
    QFETCH(QStringList, expected);
    StoreFixture f;
    for (const char *keywords : {"holiday vacation", "VACANCY", "élève", "Ärger", "σοφία", "привет"})
        f.db->addSpeech(1, QString::fromUtf8(keywords));
    f.db->addSpeech(2, QStringLiteral("other language"));
    f.db->addSpeech(77, QStringLiteral("holiday in an unlisted language"));
    auto set = f.recordSet(DatabaseTexts::keywordSearch(searchText, language));
    set->open();
    QStringList found;
    for (; !set->eof(); set->next())
        found.append(set->fieldByName(QStringLiteral("Keywords"))->asString());
    QCOMPARE(found, expected);
    QCOMPARE(set->recordCount(), expected.size());
}

void tst_RecordSet::keywordSearchTextNeverBecomesSql_data()
{
    QTest::addColumn<QString>("searchText");
    QTest::addColumn<QString>("expected");
    QTest::newRow("double quote") << "say \"hi" << "say \"hi\"";
    QTest::newRow("closing the literal") << "\" or 1=1 or \"" << "";
    QTest::newRow("apostrophe") << "it's" << "it's here";
    QTest::newRow("statement end") << "; drop table Speeches; --" << "";
    QTest::newRow("comment") << "--" << "a -- b";
    QTest::newRow("doubled quotes") << "\"\"" << "";
}

void tst_RecordSet::keywordSearchTextNeverBecomesSql()
{
    QFETCH(QString, searchText);
    QFETCH(QString, expected);
    StoreFixture f;
    for (const char *keywords : {"say \"hi\"", "it's here", "a -- b", "plain"})
        f.db->addSpeech(1, QString::fromUtf8(keywords));
    auto set = f.recordSet(DatabaseTexts::keywordSearch(searchText, 1));
    set->open(); // never a database error
    QCOMPARE(set->recordCount(), expected.isEmpty() ? 0 : 1);
    if (!expected.isEmpty())
        QCOMPARE(set->fieldByName(QStringLiteral("Keywords"))->asString(), expected);
    QCOMPARE(f.db->count(QStringLiteral("select count(*) from Speeches")), 4);
}

void tst_RecordSet::connectionOpensExistingFilesOnly()
{
    QTemporaryDir dir;
    Connection connection;
    connection.setConnectionString(DatabaseTexts::connectionString(dir.filePath(QStringLiteral("missing.csp"))));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, connection.open());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing.csp"))));

    QFile garbage(dir.filePath(QStringLiteral("garbage.csp")));
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    Connection second;
    second.setConnectionString(DatabaseTexts::connectionString(garbage.fileName()));
    try {
        second.open();
        QFAIL("a file that is no database was opened");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(QLatin1String("garbage.csp")), qPrintable(error.message()));
    }
    QVERIFY(!second.connected());
}

void tst_RecordSet::pathReachesTheFileUnchanged_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("inserted"); // how the name stands in the connection string
    QTest::newRow("spaces and a ';' stay as they are") << QStringLiteral("my speeches; old.csp")
                                                      << QStringLiteral("my speeches; old.csp;Jet OLEDB");
    // The rest would read as an item "b" of its own: the name goes in quotes.
    QTest::newRow("';' and '='") << QStringLiteral("a;b=c.csp") << QStringLiteral("a;b=c.csp\";Jet OLEDB");
    QTest::newRow("quotes") << QStringLiteral("\"q\";x=y'.csp") << QStringLiteral("\"\"q\"\";x=y'.csp\";Jet OLEDB");
}

void tst_RecordSet::pathReachesTheFileUnchanged()
{
    SKIP_ON_SERVER("the file's name in the connection string");
    QFETCH(QString, fileName);
    QFETCH(QString, inserted);
    StoreFixture f(fileName);
    f.db->addSpeech(1, QStringLiteral("found"));
    QVERIFY2(f.connection->connectionString().contains(inserted), qPrintable(f.connection->connectionString()));
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    set->open();
    QCOMPARE(set->fieldByName(QStringLiteral("Keywords"))->asString(), QStringLiteral("found"));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), QStringList{fileName});
}

TINLARK_TEST_MAIN(tst_RecordSet)
#include "tst_RecordSet.moc"
