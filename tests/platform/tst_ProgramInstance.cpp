// The bus name that makes one program per settings file: every spelling of one file's path
// gives one name, another file another, and each is a name the bus takes.

#include "ProgramInstance.h"
#include "TestMain.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

class tst_ProgramInstance : public QObject
{
    Q_OBJECT

private slots:
    void oneNamePerSettingsFile();
    void objectPathFollowsTheName();
};

void tst_ProgramInstance::oneNamePerSettingsFile()
{
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("portable/sub")));
    QVERIFY(QDir(root.path()).mkpath(QStringLiteral("other")));
    QVERIFY(QFile::link(root.filePath(QStringLiteral("portable")), root.filePath(QStringLiteral("link"))));
    const QString settings = root.filePath(QStringLiteral("portable/Tinlark.ini")); // not written yet
    const QString name = ProgramInstance::serviceName(settings);
    for (const QString &spelling : {root.filePath(QStringLiteral("portable/sub/../Tinlark.ini")),
                                    root.filePath(QStringLiteral("portable/./Tinlark.ini")),
                                    root.filePath(QStringLiteral("link/Tinlark.ini")),
                                    QDir::current().relativeFilePath(settings)})
        QCOMPARE(ProgramInstance::serviceName(spelling), name);
    const QString other = ProgramInstance::serviceName(root.filePath(QStringLiteral("other/Tinlark.ini")));
    QVERIFY(other != name);
    // The rules of the bus for a well-known name, and the desktop entry's id in front.
    const QRegularExpression busName(QStringLiteral("^[A-Za-z_-][A-Za-z0-9_-]*(\\.[A-Za-z_-][A-Za-z0-9_-]*)+$"));
    for (const QString &each : {name, other}) {
        QVERIFY2(busName.match(each).hasMatch() && each.size() <= 255, qPrintable(each));
        QVERIFY(each.startsWith(QStringLiteral("io.github.tinlark.Tinlark.")));
    }
}

void tst_ProgramInstance::objectPathFollowsTheName()
{
    QCOMPARE(ProgramInstance::objectPath(QStringLiteral("org.example.Tin-lark.s0f")),
             QStringLiteral("/org/example/Tin_lark/s0f"));
}

TINLARK_TEST_MAIN(tst_ProgramInstance)
#include "tst_ProgramInstance.moc"
