// A screen reader's view of the running program, read through the real accessibility bus
// (AT-SPI) as Orca reads it: the status panels speak what they show, the count after a
// search and the hint of the control under the mouse.

#include "PortableProgram.h"
#include "TestDatabase.h"
#include "TestMain.h"
#include "XDesktop.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

namespace {

// What a screen reader hears as the name of the object that the given word describes.
QString nameDescribedAs(const QByteArray &texts, const QString &description)
{
    for (const QByteArray &line : texts.split('\n')) {
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
        if (fields.size() == 4 && fields[2] == description)
            return fields[1];
    }
    return QStringLiteral("(nothing described as %1)").arg(description);
}

} // namespace

class tst_AtSpi : public QObject
{
    Q_OBJECT

private slots:
    void statusPanelsSpeakTheirText();
};

void tst_AtSpi::statusPanelsSpeakTheirText()
{
    // scripts/install-deps.sh installs them; Debian's own Python carries pyatspi.
    for (const char *name : {"dbus-daemon", "/usr/bin/python3"})
        QVERIFY2(!XDesktop::tool(name).isEmpty(), name);
    XDesktop desktop;
    QVERIFY2(desktop.start(QStringLiteral("1024x768x24"), true), qPrintable(desktop.error()));
    // A session bus of the test's own; the accessibility bus starts on it when asked for, with
    // its socket in a runtime folder of the test's own.
    QVERIFY2(desktop.startSessionBus(), qPrintable(desktop.error()));
    QProcessEnvironment environment = desktop.environment();
    environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    desktop.setEnvironment(environment);

    QTemporaryDir folder;
    const QString program = copyPortableProgram(folder.path());
    QVERIFY(!program.isEmpty());
    {
        TestDatabase db(folder.filePath(QStringLiteral("Speeches.csp")));
        const int english = db.addLanguage(QStringLiteral("English"));
        db.addSpeech(english, QStringLiteral("greeting morning"), QStringLiteral("Good morning"));
        db.addSpeech(english, QStringLiteral("farewell"), QStringLiteral("Goodbye"));
        db.addSpeech(english, QStringLiteral("greeting evening"), QStringLiteral("Good evening"));
    }
    QFile settings(folder.filePath(QStringLiteral("Tinlark.ini")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[MainForm]\nL=0\nT=0\nW=612\nH=410\n");
    settings.close();

    QProcess tinlark;
    tinlark.setProcessEnvironment(environment);
    tinlark.start(program, {});
    QVERIFY(tinlark.waitForStarted());
    const auto stopProgram = qScopeGuard([&tinlark] {
        tinlark.terminate();
        if (!tinlark.waitForFinished(10000))
            tinlark.kill();
        tinlark.waitForFinished();
    });
    const QString window = desktop.waitForWindow(QStringLiteral("The Tinlark"));
    QVERIFY2(!window.isEmpty(), tinlark.readAllStandardError().constData());
    // What the object described as description says, once it says expected or after 20 s.
    // Each reading takes a while: the wait counts time, not readings.
    const auto spoken = [&desktop](const QString &description, const QString &expected) {
        const QDeadlineTimer deadline(20000);
        QString name;
        do {
            name = nameDescribedAs(
                desktop.run("/usr/bin/python3", {QStringLiteral(TINLARK_ATSPI_TEXTS), QStringLiteral("tinlark")}),
                description);
        } while (name != expected && !deadline.hasExpired() && (QTest::qWait(100), true));
        return name;
    };

    desktop.run("xdotool", {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    desktop.run("xdotool", {QStringLiteral("key"), QStringLiteral("ctrl+f")});
    QVERIFY(!desktop.waitForWindow(QStringLiteral("Find Keywords")).isEmpty());
    desktop.run("xdotool", {QStringLiteral("type"), QStringLiteral("greeting")});
    desktop.run("xdotool", {QStringLiteral("key"), QStringLiteral("Return")});
    QCOMPARE(spoken(QStringLiteral("Search results"), QStringLiteral("Search results: 2")),
             QStringLiteral("Search results: 2"));

    // The middle of the window is the speech.
    desktop.run("xdotool", {QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("306"),
                            QStringLiteral("200")});
    QCOMPARE(spoken(QStringLiteral("Hint"), QStringLiteral("Canned speech")), QStringLiteral("Canned speech"));
}

TINLARK_TEST_MAIN(tst_AtSpi)
#include "tst_AtSpi.moc"
