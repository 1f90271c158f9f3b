#include "EDatabaseError.h"
#include "Field.h"
#include "SpeechHistory.h"
#include "StoreFixture.h"
#include "TestMain.h"

class tst_SpeechHistory : public QObject
{
    Q_OBJECT

private slots:
    void lostSpeechesComeBack_data();
    void lostSpeechesComeBack();
    void changesOfAnotherProgramAreKept();
    void historyIsBounded();
    void libraryMadeBeforeGetsItsHistory();
};

namespace {

QStringList textsOf(const std::vector<SpeechVersion> &versions)
{
    QStringList texts;
    for (const SpeechVersion &version : versions)
        texts.append(version.text);
    return texts;
}

} // namespace

void tst_SpeechHistory::lostSpeechesComeBack_data()
{
    QTest::addColumn<QString>("loss");
    QTest::newRow("edit") << QStringLiteral("edit");
    QTest::newRow("delete") << QStringLiteral("delete");
    QTest::newRow("language delete") << QStringLiteral("language delete");
    QTest::newRow("delete, then its language") << QStringLiteral("delete, then its language");
}

// Each way a speech is lost, undone through the history; the speech comes back as it was,
// with its ID, and the restore is itself a change that can be undone.
void tst_SpeechHistory::lostSpeechesComeBack()
{
    QFETCH(QString, loss);
    StoreFixture f;
    const int dutch = f.db->addLanguage(QStringLiteral("Dutch"));
    f.db->addSpeech(dutch, QStringLiteral("other"), QStringLiteral("stays"));
    const int id = f.db->addSpeech(dutch, QStringLiteral("greet"), QStringLiteral("Dear \"sir\",\r\nhello"),
                                   QStringLiteral("c"));
    auto set = f.recordSet(DatabaseTexts::SpeechListCommand);
    set->open();
    QVERIFY(set->locate(QStringLiteral("ID"), id));
    const auto byId = [id](const char *column) {
        return QStringLiteral("SELECT %1 FROM Speeches WHERE ID = %2").arg(QLatin1String(column)).arg(id);
    };

    if (loss == QLatin1String("edit")) {
        set->edit();
        set->fieldByName(QStringLiteral("Tekst"))->setAsString(QStringLiteral("overwritten"));
        set->post();
        const std::vector<SpeechVersion> versions = SpeechHistory::versionsOf(*f.connection, id);
        QCOMPARE(textsOf(versions), QStringList{QStringLiteral("Dear \"sir\",\r\nhello")});
        SpeechHistory::restoreVersion(*set, versions.front());
        QCOMPARE(textsOf(SpeechHistory::versionsOf(*f.connection, id)),
                 (QStringList{QStringLiteral("overwritten"), QStringLiteral("Dear \"sir\",\r\nhello")}));
    } else if (loss == QLatin1String("language delete")) {
        f.db->execute(QStringLiteral("DELETE FROM Taal WHERE ID = %1").arg(dutch));
        const std::vector<SpeechVersion> orphans = SpeechHistory::speechesWithoutLanguage(*f.connection);
        QCOMPARE(orphans.size(), size_t(2));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, SpeechHistory::restoreSpeech(*f.connection, orphans.back()));
        SpeechHistory::restoreSpeech(*f.connection, orphans.back(), f.db->addLanguage(QStringLiteral("Nederlands")));
        QCOMPARE(SpeechHistory::speechesWithoutLanguage(*f.connection).size(), size_t(1));
        QCOMPARE(f.db->text(byId("TaalID")), QStringLiteral("2"));
    } else {
        set->deleteRecord();
        QCOMPARE(f.db->count(byId("count(*)")), 0);
        std::vector<SpeechVersion> deleted = SpeechHistory::deletedSpeeches(*f.connection, dutch);
        if (loss == QLatin1String("delete, then its language")) {
            f.db->execute(QStringLiteral("DELETE FROM Taal WHERE ID = %1").arg(dutch));
            QVERIFY(SpeechHistory::deletedSpeeches(*f.connection, dutch).size() == 1);
            deleted = SpeechHistory::speechesWithoutLanguage(*f.connection);
            QCOMPARE(deleted.size(), size_t(2)); // the one that stayed, and the deleted one
            deleted.erase(deleted.begin());
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, SpeechHistory::restoreSpeech(*f.connection, deleted.front()));
            SpeechHistory::restoreSpeech(*f.connection, deleted.front(), f.db->addLanguage(QStringLiteral("Frisian")));
        } else {
            QCOMPARE(deleted.size(), size_t(1));
            SpeechHistory::restoreSpeech(*f.connection, deleted.front());
            QCOMPARE(f.db->text(byId("TaalID")), QString::number(dutch));
            // Restored once: a second restore of the same delete is refused, not a second copy.
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, SpeechHistory::restoreSpeech(*f.connection, deleted.front()));
        }
        QVERIFY(SpeechHistory::deletedSpeeches(*f.connection, dutch).empty());
    }
    QCOMPARE(f.db->text(byId("Tekst")), QStringLiteral("Dear \"sir\",\r\nhello"));
    QCOMPARE(f.db->text(byId("Keywords")), QStringLiteral("greet"));
    QCOMPARE(f.db->text(byId("Comments")), QStringLiteral("c"));
}

// A change made with plain SQL by another connection, which knows nothing of the history.
void tst_SpeechHistory::changesOfAnotherProgramAreKept()
{
    StoreFixture f;
    const int id = f.db->addSpeech(1, QStringLiteral("k"), QStringLiteral("first"));
    f.db->execute(QStringLiteral("UPDATE Speeches SET Tekst = 'second' WHERE ID = %1").arg(id));
    f.db->execute(QStringLiteral("UPDATE Speeches SET Tekst = 'second' WHERE ID = %1").arg(id)); // no change
    f.db->execute(QStringLiteral("DELETE FROM Speeches WHERE ID = %1").arg(id));
    const std::vector<SpeechVersion> versions = SpeechHistory::versionsOf(*f.connection, id);
    QCOMPARE(textsOf(versions), (QStringList{QStringLiteral("second"), QStringLiteral("first")}));
    QCOMPARE(versions.front().change, QStringLiteral("delete"));
    QCOMPARE(versions.back().change, QStringLiteral("edit"));
    // On a server, who made the change; a file has no users.
    QCOMPARE(versions.front().changedBy.isEmpty(), !TestServer::enabled());
    QVERIFY(versions.front().changedAt >= versions.back().changedAt);
}

void tst_SpeechHistory::historyIsBounded()
{
    StoreFixture f;
    const int id = f.db->addSpeech(1, QStringLiteral("k"), QStringLiteral("v0"));
    for (int i = 1; i <= 25; ++i)
        f.db->execute(QStringLiteral("UPDATE Speeches SET Tekst = 'v%1' WHERE ID = %2").arg(i).arg(id));
    const QStringList texts = textsOf(SpeechHistory::versionsOf(*f.connection, id));
    QCOMPARE(texts.size(), 20);
    QCOMPARE(texts.front(), QStringLiteral("v24"));
    QCOMPARE(texts.back(), QStringLiteral("v5"));

    // Deleted speeches stay for the days the limit gives, counted from their delete.
    const int old = f.db->addSpeech(1, QStringLiteral("old"), QStringLiteral("old"));
    const int recent = f.db->addSpeech(1, QStringLiteral("recent"), QStringLiteral("recent"));
    f.db->execute(QStringLiteral("UPDATE Speeches SET Tekst = 'older' WHERE ID = %1").arg(old));
    f.db->execute(QStringLiteral("DELETE FROM Speeches WHERE ID IN (%1, %2)").arg(old).arg(recent));
    f.db->execute(QStringLiteral("UPDATE \"SpeechHistory\" SET \"ChangedAt\" = '2000-01-01 00:00:00.000' "
                                 "WHERE \"SpeechID\" = %1").arg(old));
    SpeechHistory::prune(*f.connection, {3, 90});
    QVERIFY(SpeechHistory::versionsOf(*f.connection, old).empty());
    QCOMPARE(SpeechHistory::versionsOf(*f.connection, recent).size(), size_t(1));
    QCOMPARE(SpeechHistory::versionsOf(*f.connection, id).size(), size_t(20)); // until its next change
    f.db->execute(QStringLiteral("UPDATE Speeches SET Tekst = 'v26' WHERE ID = %1").arg(id));
    QCOMPARE(textsOf(SpeechHistory::versionsOf(*f.connection, id)),
             (QStringList{QStringLiteral("v25"), QStringLiteral("v24"), QStringLiteral("v23")}));
}

// A library made by an earlier build has no history; the program gives it one when it opens it
// (on a server the test's user owns the library).
void tst_SpeechHistory::libraryMadeBeforeGetsItsHistory()
{
    StoreFixture f;
    const int id = f.db->addSpeech(1, QStringLiteral("k"), QStringLiteral("before"));
    const QStringList drops = TestServer::enabled()
        ? QStringList{QStringLiteral("DROP TABLE \"SpeechHistory\", \"TinlarkHistoryLimit\""),
                      QStringLiteral("DROP FUNCTION \"TinlarkKeepVersion\"() CASCADE")}
        : QStringList{QStringLiteral("DROP TRIGGER TinlarkHistoryEdit"), QStringLiteral("DROP TRIGGER TinlarkHistoryDelete"),
                      QStringLiteral("DROP TABLE SpeechHistory"), QStringLiteral("DROP TABLE TinlarkHistoryLimit")};
    for (const QString &drop : drops)
        f.db->execute(drop);
    f.db->execute(QStringLiteral("UPDATE Speeches SET Tekst = 'unkept' WHERE ID = %1").arg(id));
    f.connection->open();
    QVERIFY(SpeechHistory::available(*f.connection));
    QVERIFY(SpeechHistory::versionsOf(*f.connection, id).empty());
    f.db->execute(QStringLiteral("UPDATE Speeches SET Tekst = 'after' WHERE ID = %1").arg(id));
    QCOMPARE(textsOf(SpeechHistory::versionsOf(*f.connection, id)), QStringList{QStringLiteral("unkept")});
}

QTEST_MAIN(tst_SpeechHistory)
#include "tst_SpeechHistory.moc"
