// A server's password from the desktop's keyring, a real Secret Service on a bus of the
// test's own: kept only once the server accepted it, found again for its server alone.

#include "EDatabaseError.h"
#include "Keyring.h"
#include "PostgresServer.h"
#include "PostgresSession.h"
#include "ServerPassword.h"
#include "TestKeyring.h"
#include "TestMain.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <atomic>
#include <thread>

using ServerPassword::Refused;

namespace {

bool opens(const QString &dataSource)
{
    try {
        PostgresSession session(dataSource, nullptr);
        return true;
    } catch (const EDatabaseError &) {
        return false;
    }
}

} // namespace

class tst_ServerPassword : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void keptOnlyOnceAccepted_data();
    void keptOnlyOnceAccepted();
    void nobodyIsAskedOffTheMainThread();
    void hungKeyringIsNotWaitedFor(); // last: the keyring is not asked again in this run
    void cleanupTestCase()
    {
        ServerPassword::setPrompt(nullptr);
        ServerPassword::setNotice(nullptr);
    }

private:
    // The database on the test server over TLS, without a password.
    QString dataSource(const QString &database) const
    {
        return QStringLiteral("host=localhost port=%1 dbname=%2 user=%3 sslrootcert=%4")
            .arg(m_server.tcpPort())
            .arg(database, PostgresServer::user(), m_server.certificate());
    }

    PostgresServer m_server;
    TestKeyring m_keyring;
};

void tst_ServerPassword::initTestCase()
{
    for (const QString &missing : {PostgresServer::missingReason(), TestKeyring::missingReason()}) {
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
    }
    QVERIFY2(m_server.start(PostgresServer::Writes::Unsynced, PostgresServer::Network::TlsOnLocalhost),
             qPrintable(m_server.error()));
    QVERIFY2(m_keyring.start(), qPrintable(m_keyring.error()));
}

void tst_ServerPassword::keptOnlyOnceAccepted_data()
{
    const QString right = PostgresServer::password();
    QTest::addColumn<QString>("keptBefore");  // empty: none
    QTest::addColumn<QString>("inSource");    // the data source's own password; empty: none
    QTest::addColumn<QStringList>("answers"); // typed in turn; "+" at the end ticks "keep"
    QTest::addColumn<QList<Refused>>("asked");
    QTest::addColumn<bool>("connects");
    QTest::addColumn<QString>("keptAfter");
    QTest::newRow("typed and kept") << QString() << QString() << QStringList{right + "+"} << QList{Refused::Nothing} << true << right;
    QTest::newRow("typed, not kept") << QString() << QString() << QStringList{right} << QList{Refused::Nothing} << true << QString();
    QTest::newRow("mistyped and kept, then right") << QString() << QString() << QStringList{"wrong+", right + "+"}
                                                   << QList{Refused::Nothing, Refused::Typed} << true << right;
    QTest::newRow("mistyped and kept, then given up")
        << QString() << QString() << QStringList{"wrong+"} << QList{Refused::Nothing, Refused::Typed} << false << QString();
    QTest::newRow("kept one accepted") << right << QString() << QStringList() << QList<Refused>() << true << right;
    QTest::newRow("kept one refused, replaced")
        << "old" << QString() << QStringList{right + "+"} << QList{Refused::Kept} << true << right;
    QTest::newRow("kept one refused, right one not kept: removed")
        << "old" << QString() << QStringList{right} << QList{Refused::Kept} << true << QString();
    QTest::newRow("kept one refused, given up")
        << "old" << QString() << QStringList() << QList{Refused::Kept} << false << "old";
    QTest::newRow("in the data source") << QString() << right << QStringList() << QList<Refused>() << true << QString();
    QTest::newRow("in the data source, refused") << QString() << "wrong" << QStringList{right} << QList{Refused::Typed}
                                                 << true << QString();
}

void tst_ServerPassword::keptOnlyOnceAccepted()
{
    QFETCH(QString, keptBefore);
    QFETCH(QString, inSource);
    QFETCH(QStringList, answers);
    QFETCH(QList<Refused>, asked);
    QFETCH(bool, connects);
    QFETCH(QString, keptAfter);
    // A database of each row's own: a server the keyring has nothing for, though it holds the
    // earlier rows' passwords.
    static int rows = 0;
    const QString database = QStringLiteral("row%1").arg(++rows);
    QVERIFY(!m_server.createDatabase(database).isEmpty());
    const QString server = QStringLiteral("localhost:%1/%2 as %3").arg(m_server.tcpPort()).arg(database, PostgresServer::user());
    QCOMPARE(Keyring::find(server), std::nullopt);
    if (!keptBefore.isEmpty())
        QVERIFY(Keyring::keep(server, keptBefore.toUtf8()));

    QList<Refused> seen;
    QStringList named;
    ServerPassword::setPrompt([&](const QString &name, Refused refused) -> std::optional<ServerPassword::Answer> {
        named.append(name);
        seen.append(refused);
        if (answers.isEmpty())
            return std::nullopt;
        QString typed = answers.takeFirst();
        const bool keep = typed.endsWith(QLatin1Char('+'));
        if (keep)
            typed.chop(1);
        return ServerPassword::Answer{typed.toUtf8(), keep};
    });
    const QString source = dataSource(database);
    QCOMPARE(opens(source + (inSource.isEmpty() ? QString() : " password=" + inSource)), connects);
    // The accepted password serves every later connection of the run, asking nothing, the
    // data source written without it as in the settings.
    if (connects)
        QVERIFY(opens(source));
    QCOMPARE(seen, asked);
    QCOMPARE(named, QStringList(asked.size(), server));
    QCOMPARE(Keyring::find(server), keptAfter.isEmpty() ? std::nullopt : std::optional(keptAfter.toUtf8()));
}

// A connection made on another thread (the picker's search) never shows the dialog: it is
// refused instead.
void tst_ServerPassword::nobodyIsAskedOffTheMainThread()
{
    QVERIFY(!m_server.createDatabase(QStringLiteral("worker")).isEmpty());
    std::atomic<bool> asked = false;
    ServerPassword::setPrompt([&asked](const QString &, Refused) {
        asked = true;
        return std::optional(ServerPassword::Answer{PostgresServer::password().toUtf8(), false});
    });
    bool opened = true;
    std::thread([&] { opened = opens(dataSource(QStringLiteral("worker"))); }).join();
    QVERIFY(!asked);
    QVERIFY(!opened);
}

// A keyring that hangs (it holds its name on the bus but answers nothing) is given up within
// seconds, not after D-Bus's 25 for each message (50 to look a password up, 50 to keep one):
// the user is asked, and told that the password could not be kept.
void tst_ServerPassword::hungKeyringIsNotWaitedFor()
{
    QVERIFY(!m_server.createDatabase(QStringLiteral("hung")).isEmpty());
    const QString server = QStringLiteral("localhost:%1/hung as %2").arg(m_server.tcpPort()).arg(PostgresServer::user());
    QList<Refused> seen;
    ServerPassword::setPrompt([&seen](const QString &, Refused refused) {
        seen.append(refused);
        return std::optional(ServerPassword::Answer{PostgresServer::password().toUtf8(), true});
    });
    QStringList told;
    ServerPassword::setNotice([&told](const QString &message) { told.append(message); });
    m_keyring.freeze(true);
    const auto thawed = qScopeGuard([this] { m_keyring.freeze(false); });
    QElapsedTimer waited;
    waited.start();
    PostgresSession(dataSource(QStringLiteral("hung")), nullptr);
    QVERIFY2(waited.elapsed() < 15000, qPrintable(QString::number(waited.elapsed())));
    QCOMPARE(seen, QList{Refused::Nothing});
    QCOMPARE(told.size(), 1);
    QVERIFY2(told[0].startsWith(QStringLiteral("The password for the server %1 could not be kept in the desktop's "
                                               "keyring (it does not answer)").arg(server)),
             qPrintable(told[0]));
}

TINLARK_TEST_MAIN(tst_ServerPassword)
#include "tst_ServerPassword.moc"
