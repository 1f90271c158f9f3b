#include "ShellOpenAndWait.h"
#include "TestMain.h"
#include "XdgShell.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Stands in for xdg-open and for a program: writes its environment to "environment" and its
// arguments, one a line, to "args" beside itself, then runs until the file "hold" beside it
// is gone, and leaves "ended" behind.
const QByteArray FakeOpener = R"(#!/bin/sh
dir=$(dirname "$0")
env > "$dir/environment"
printf '%s\n' "$@" > "$dir/args.part" && mv "$dir/args.part" "$dir/args"
while [ -e "$dir/hold" ]; do sleep 0.02; done
touch "$dir/ended"
)";

} // namespace

// The desktop shell, run against a stand-in xdg-open found first on the PATH.
class tst_XdgShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void handsTheTargetOverAsOneArgument_data();
    void handsTheTargetOverAsOneArgument();
    void waitsForTheOpenerToEnd();
    void givesUpWaitingButLeavesTheProgramRunning();
    void programsTakeTheirParameters();
    void missingOpenerIsReportedNotAwaited();
    void linkIsNoFileAndCarriesNoSecret();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QStringList arguments() const;
    void writeFile(const QString &name, const QByteArray &content = {}) const;

    QTemporaryDir m_dir;
    QByteArray m_path;
};

void tst_XdgShell::initTestCase()
{
    QVERIFY(m_dir.isValid());
    writeFile(QStringLiteral("xdg-open"), FakeOpener);
    QFile::setPermissions(path(QStringLiteral("xdg-open")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(QFile::copy(path(QStringLiteral("xdg-open")), path(QStringLiteral("program"))));
    m_path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_path);
}

void tst_XdgShell::init()
{
    for (const char *name : {"args", "hold", "ended"})
        QFile::remove(path(QString::fromLatin1(name)));
}

QStringList tst_XdgShell::arguments() const
{
    QFile file(path(QStringLiteral("args")));
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<not started>")};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    lines.removeLast(); // after the last line's end
    return lines;
}

void tst_XdgShell::writeFile(const QString &name, const QByteArray &content) const
{
    QFile file(path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void tst_XdgShell::handsTheTargetOverAsOneArgument_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("mail address") << "mailto:tinlark@example.org";
    QTest::newRow("shell characters") << "mailto:a@example.org?subject=it's \"$HOME\" `id`; & more";
    QTest::newRow("empty") << "";
}

void tst_XdgShell::handsTheTargetOverAsOneArgument()
{
    QFETCH(QString, target);
    XdgShell shell;
    QVERIFY(shell.openAndWait(target, QString()));
    QCOMPARE(arguments(), QStringList{target});
}

void tst_XdgShell::waitsForTheOpenerToEnd()
{
    writeFile(QStringLiteral("hold"));
    // Runs during the wait: the windows are served while the opener runs.
    QTimer::singleShot(0, this, [this] { QFile::remove(path(QStringLiteral("hold"))); });
    XdgShell shell;
    QVERIFY(shell.openAndWait(QStringLiteral("mailto:tinlark@example.org"), QString()));
    QVERIFY(QFile::exists(path(QStringLiteral("ended"))));
    QCOMPARE(shell.programsLeftRunning(), 0);
}

void tst_XdgShell::givesUpWaitingButLeavesTheProgramRunning()
{
    writeFile(QStringLiteral("hold"));
    XdgShell shell(200);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(shell.openAndWait(QStringLiteral("mailto:tinlark@example.org"), QString()));
    QVERIFY(clock.elapsed() >= 200);
    QVERIFY(clock.elapsed() < 30000);
    QVERIFY(!QFile::exists(path(QStringLiteral("ended"))));
    QCOMPARE(shell.programsLeftRunning(), 1);

    QFile::remove(path(QStringLiteral("hold")));
    QTRY_VERIFY(QFile::exists(path(QStringLiteral("ended")))); // it was not killed
    QTRY_COMPARE(shell.programsLeftRunning(), 0);
}

void tst_XdgShell::programsTakeTheirParameters()
{
    XdgShell shell;
    QVERIFY(shell.openAndWait(path(QStringLiteral("program")), QStringLiteral("one \"two three\"")));
    QCOMPARE(arguments(), (QStringList{QStringLiteral("one"), QStringLiteral("two three")}));

    // A document goes to xdg-open, which takes the document alone.
    writeFile(QStringLiteral("letter.txt"), "Dear all");
    QVERIFY(shell.openAndWait(path(QStringLiteral("letter.txt")), QStringLiteral("ignored")));
    QCOMPARE(arguments(), QStringList{path(QStringLiteral("letter.txt"))});
}

void tst_XdgShell::missingOpenerIsReportedNotAwaited()
{
    QTemporaryDir empty;
    qputenv("PATH", QFile::encodeName(empty.path()));
    XdgShell shell;
    QElapsedTimer clock;
    clock.start();
    const bool started = shell.openAndWait(QStringLiteral("mailto:tinlark@example.org"), QString());
    qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_path);
    QVERIFY(!started);
    QVERIFY(clock.elapsed() < XdgShell::DefaultWaitLimitMs / 2);
    QCOMPARE(shell.programsLeftRunning(), 0);

    ShellOpenAndWait(QStringLiteral("mailto:tinlark@example.org"), QString()); // the desktop's shell in use
    QCOMPARE(arguments(), QStringList{QStringLiteral("mailto:tinlark@example.org")});
}

void tst_XdgShell::linkIsNoFileAndCarriesNoSecret()
{
    // A program named like the link waits in the current folder.
    const QString link = QStringLiteral("mailto:tinlark@example.org");
    QVERIFY(QFile::copy(path(QStringLiteral("program")), path(link)));
    const QString folder = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    qputenv("PGPASSWORD", "Pa55w0rdXyz");
    qputenv("PGHOST", "db.example.org");
    XdgShell shell;
    const bool started = shell.openAndWait(link, QStringLiteral("planted"));
    qunsetenv("PGPASSWORD");
    qunsetenv("PGHOST");
    QDir::setCurrent(folder);
    QFile::remove(path(link));
    QVERIFY(started);
    QCOMPARE(arguments(), QStringList{link});
    QFile environment(path(QStringLiteral("environment")));
    QVERIFY(environment.open(QIODevice::ReadOnly));
    const QByteArray variables = '\n' + environment.readAll();
    QVERIFY(variables.contains("\nPATH="));
    QVERIFY2(!variables.contains("\nPG"), variables.constData());
}

TINLARK_TEST_MAIN(tst_XdgShell)
#include "tst_XdgShell.moc"
