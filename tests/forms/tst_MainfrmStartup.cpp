#include "Exception.h"
#include "ExceptionRecorder.h"
#include "Field.h"
#include "Finddlg.h"
#include "MainWindowFixture.h"
#include "Languagesdlg.h"
#include "TDBGrid.h"
#include "Mainfrm.h"
#include "ModalDialogHelper.h"
#include "NoticeBar.h"
#include "Pickfrm.h"
#include "PostgresDatabase.h"
#include "PostgresSchema.h"
#include "PostgresServer.h"
#include "ProgramWindows.h"
#include "SmallFileSystem.h"
#include "Statement.h"
#include "TestDatabase.h"
#include "TestFolder.h"
#include "TestKeyring.h"
#include "Keyring.h"
#include "TestMain.h"
#include "ui_Mainfrm.h"

#include <QPushButton>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <optional>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// A settings file read back the plain way, to see what the program wrote.
int storedInteger(const TestFolder &folder, const QString &key)
{
    QSettings settings(folder.settingsPath(), QSettings::IniFormat);
    return settings.value(QStringLiteral("MainForm/") + key, -999).toInt();
}

// A keyword search through the Find dialog, as the user makes one.
void search(TForm1 &form, const QString &text)
{
    answerNextModal([text](QWidget *dialog) {
        auto *find = qobject_cast<TLMFindDialog *>(dialog);
        QVERIFY(find);
        QTest::keyClicks(find->Edit1, text);
        QTest::keyClick(find->Edit1, Qt::Key_Return);
    });
    form.ui()->actFind->trigger();
}

void addThreeLanguages(TestDatabase &db)
{
    db.addSpeech(db.addLanguage(QStringLiteral("Nederlands")), QStringLiteral("nl"));
    db.addSpeech(db.addLanguage(QStringLiteral("Deutsch")), QStringLiteral("de"));
    db.addSpeech(db.addLanguage(QStringLiteral("English")), QStringLiteral("en"));
}

// A library of one language, Deutsch, in a new database on the server; its name. Each has a
// name of its own: a password given for an earlier one is remembered for its server.
QString newServerLibrary(PostgresServer &server)
{
    static int libraries = 0;
    const QString database = QStringLiteral("team%1").arg(++libraries);
    // Over the local socket, which asks no password (one given here would be remembered).
    PostgresDatabase library(server.createDatabase(database), nullptr);
    PostgresSchema::create(library);
    library.begin();
    Statement(&library, QStringLiteral("INSERT INTO \"Taal\" (\"Taal\") VALUES (?)")).execute({QStringLiteral("Deutsch")});
    library.commit();
    return database;
}

} // namespace

class tst_MainfrmStartup : public QObject
{
    Q_OBJECT

private slots:
    void noSettingsFileUsesLayoutAndWritesMainFormOnly();
    void libraryOnAServerOpensInTheWindow();
    void unreachableServerIsNamedWithoutPassword();
    void serverPasswordIsAskedFor_data();
    void serverPasswordIsAskedFor();
    void passwordInAnOpenedUriIsUsed();
    void readOnlySetting_data();
    void readOnlySetting();
    void geometryIsAppliedAsItStands();
    void databaseSetting_data();
    void databaseSetting();
    void missingDatabaseStillWritesSettings();
    void fileMenuLeadsOnFromAMissingLibrary();
    void storedIndexOutsideListSelectsFirstLanguage_data();
    void storedIndexOutsideListSelectsFirstLanguage();
    void emptyLanguageTableIsNoError();
    void closeAndReopenRestoresEverything();
    void otherSectionsAndCommentsAreKept();
    void refusedSettingsWriteIsShownAndShutdownGoesOn();
    void settingsFromWindowsKeepTheirBytes_data();
    void settingsFromWindowsKeepTheirBytes();
    void languagesInAlphabeticalOrder();
    void unusableGeometryIsBroughtBack_data();
    void unusableGeometryIsBroughtBack();
    void unusableDatabaseIsNamedAndRecordActionsRest_data();
    void unusableDatabaseIsNamedAndRecordActionsRest();
    void readOnlyDatabaseOpensReadOnly_data();
    void readOnlyDatabaseOpensReadOnly();
    void failedBackupIsSaidInTheStatusBar();
    void earlierBuildsLibraryIsIndexedWhileTheWindowWorks();
    void pickerKeyAndPasteWaitForX11();

private:
    std::unique_ptr<TestKeyring> m_keyring; // started by the first test that needs it
};

void tst_MainfrmStartup::noSettingsFileUsesLayoutAndWritesMainFormOnly()
{
    TestFolder folder;
    TestDatabase db(folder.databasePath());
    addThreeLanguages(db);
    ExceptionRecorder recorder;
    {
        TForm1 form;
        QCOMPARE(recorder.messages(), QStringList());
        QCOMPARE(form.pos(), QPoint(192, 153));
        QCOMPARE(form.size(), QSize(612, 410));
        QCOMPARE(form.ui()->pnlComments->height(), 94);
        QCOMPARE(form.ui()->cbLanguage->currentText(), QStringLiteral("Deutsch"));
        QVERIFY(!form.ui()->actSetReadOnly->isChecked()); // edit mode
        QCOMPARE(form.statusPanel(0)->text(), QString());
        QCOMPARE(form.statusPanel(HintPanelIndex)->text(), QString());
        QCOMPARE(form.windowTitle(), QStringLiteral("The Tinlark"));
    }
    QCOMPARE(folder.readSettings(), QByteArray("[MainForm]\nL=192\nT=153\nW=612\nH=410\nCH=94\nIndex=0\nRO=1\n"));
}

void tst_MainfrmStartup::readOnlySetting_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("0: read-only") << QByteArray("0") << true;
    QTest::newRow("1: edit") << QByteArray("1") << false;
    QTest::newRow("7 counts as 1") << QByteArray("7") << false;
    QTest::newRow("abc counts as missing") << QByteArray("abc") << false;
}

void tst_MainfrmStartup::readOnlySetting()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, readOnly);
    TestFolder folder;
    TestDatabase db(folder.databasePath());
    addThreeLanguages(db);
    folder.writeSettings("[MainForm]\nRO=" + value + "\n");
    {
        TForm1 form;
        QCOMPARE(form.ui()->actSetReadOnly->isChecked(), readOnly);
        QCOMPARE(form.tblSpeech.lockType(), readOnly ? LockType::ReadOnly : LockType::Optimistic);
        QCOMPARE(form.ui()->dbmTekst->isReadOnly(), readOnly);
    }
    QCOMPARE(storedInteger(folder, QStringLiteral("RO")), readOnly ? 0 : 1);
}

void tst_MainfrmStartup::geometryIsAppliedAsItStands()
{
    TestFolder folder;
    TestDatabase db(folder.databasePath());
    addThreeLanguages(db);
    folder.writeSettings("[MainForm]\nL=0x10\nT=-20\nW=900\nH=700\nCH=120\n");
    TForm1 form;
    QCOMPARE(form.pos(), QPoint(16, -20));
    QCOMPARE(form.size(), QSize(900, 700));
    QCOMPARE(form.ui()->pnlComments->height(), 120);
}

void tst_MainfrmStartup::databaseSetting_data()
{
    QTest::addColumn<QByteArray>("setting");
    QTest::addColumn<bool>("found");
    QTest::newRow("subfolder") << QByteArray("[Hacks]\nDatabase=data/speeches.csp\n") << true;
    QTest::newRow("absolute path joined to the folder") << QByteArray("[Hacks]\nDatabase=ABSOLUTE\n") << false;
    QTest::newRow("empty names the folder itself") << QByteArray("[Hacks]\nDatabase=\n") << false;
}

void tst_MainfrmStartup::databaseSetting()
{
    QFETCH(QByteArray, setting);
    QFETCH(bool, found);
    TestFolder folder;
    QDir(folder.path()).mkdir(QStringLiteral("data"));
    TestDatabase db(folder.filePath(QStringLiteral("data/speeches.csp")));
    db.addSpeech(db.addLanguage(QStringLiteral("English")), QStringLiteral("hello"));
    // An absolute name is joined to the folder like any other, so it names no file.
    QTemporaryDir elsewhere;
    TestDatabase other(elsewhere.filePath(QStringLiteral("other.csp")));
    folder.writeSettings(setting.replace("ABSOLUTE", other.path().toUtf8()));
    ExceptionRecorder recorder;
    TForm1 form;
    if (found) {
        QCOMPARE(recorder.messages(), QStringList());
        QCOMPARE(form.ui()->dbeKeywords->text(), QStringLiteral("hello"));
    } else {
        QCOMPARE(recorder.messages(), QStringList{QStringLiteral("Speech database not found!")});
        QVERIFY(!form.tblSpeech.active());
    }
}

// After "Speech database not found!" the File menu is the way on: New library... makes one,
// Open library... opens another; the window shows it and the next start opens it again. The
// picker says so meanwhile.
void tst_MainfrmStartup::fileMenuLeadsOnFromAMissingLibrary()
{
    TestFolder folder;
    QTemporaryDir elsewhere;
    TestDatabase other(elsewhere.filePath(QStringLiteral("other.csp")));
    other.addSpeech(other.addLanguage(QStringLiteral("English")), QStringLiteral("hello"));
    ExceptionRecorder recorder;
    auto form = std::make_unique<TForm1>();
    QCOMPARE(recorder.messages(), QStringList{QStringLiteral("Speech database not found!")});
    QVERIFY(!form->ui()->actImport->isEnabled());
    {
        ProgramWindows windows(*form);
        windows.openPicker();
        QCOMPARE(windows.picker()->findChild<QLabel *>(QStringLiteral("lblStatus"))->text(),
                 QStringLiteral("No library is open: open one in the main window"));
    }
    form->show();
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    const auto storedLibrary = [&folder] {
        return QSettings(folder.settingsPath(), QSettings::IniFormat).value(QStringLiteral("Hacks/Database")).toString();
    };

    // The new library opens editable, on its first language made in the Languages dialog.
    answerInTurn({chooseInFileDialog(folder.filePath(QStringLiteral("mine"))), [](QWidget *dialog) {
                      auto *languages = qobject_cast<TLanguagesDialog *>(dialog);
                      QVERIFY(languages);
                      QVERIFY(languages->DataSetInsert->isEnabled());
                      languages->DBGrid1->setFocus();
                      QTRY_VERIFY(languages->DBGrid1->hasFocus());
                      QTest::keyClick(languages->DBGrid1, Qt::Key_Insert, Qt::ControlModifier);
                      for (const QChar c : QStringLiteral("Frysk"))
                          QTest::keyClicks(QApplication::focusWidget(), QString(c));
                      languages->btnOk->click();
                  }});
    chooseFromFileMenu(form.get(), Qt::Key_N);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(recorder.messages().size(), 1);
    QVERIFY(form->tblSpeech.active());
    QCOMPARE(form->tblSpeech.lockType(), LockType::Optimistic);
    QCOMPARE(form->ui()->cbLanguage->currentText(), QStringLiteral("Frysk"));
    QVERIFY(form->ui()->DataSetInsert->isEnabled());
    QVERIFY(form->ui()->actImport->isEnabled());
    QCOMPARE(storedLibrary(), QStringLiteral("mine.csp"));

    answerInTurn({[&other](QWidget *dialog) {
        auto *place = dialog->findChild<QLineEdit *>(QStringLiteral("edLibrary"));
        QVERIFY(place);
        QTest::keyClicks(place, other.path());
        QTest::keyClick(place, Qt::Key_Return);
    }});
    chooseFromFileMenu(form.get(), Qt::Key_O);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(recorder.messages().size(), 1);
    QCOMPARE(form->ui()->dbeKeywords->text(), QStringLiteral("hello"));
    QVERIFY(QDir::isRelativePath(storedLibrary()));
    QCOMPARE(QFileInfo(folder.filePath(storedLibrary())).canonicalFilePath(), QFileInfo(other.path()).canonicalFilePath());
    form.reset();
    TForm1 next;
    QCOMPARE(recorder.messages().size(), 1);
    QCOMPARE(next.ui()->dbeKeywords->text(), QStringLiteral("hello"));
}

void tst_MainfrmStartup::missingDatabaseStillWritesSettings()
{
    TestFolder folder;
    ExceptionRecorder recorder;
    {
        TForm1 form;
        QCOMPARE(recorder.messages(), QStringList{QStringLiteral("Speech database not found!")});
        QCOMPARE(form.statusPanel(0)->text(), QStringLiteral("xxxx from xxxxxx"));
        QCOMPARE(form.statusPanel(HintPanelIndex)->text(), QStringLiteral("Hint area"));
        QVERIFY(form.ui()->actSetReadOnly->isChecked());
        QVERIFY(form.ui()->dbmTekst->isReadOnly());
        // Read-only fields as laid out: in the colour of the panel behind them.
        for (const QWidget *field : {static_cast<QWidget *>(form.ui()->dbeKeywords),
                                     static_cast<QWidget *>(form.ui()->dbmTekst),
                                     static_cast<QWidget *>(form.ui()->dbmComments)})
            QCOMPARE(field->palette().color(QPalette::Base), field->parentWidget()->palette().color(QPalette::Window));
        QCOMPARE(form.ui()->cbLanguage->count(), 0);
        QVERIFY(!QFile::exists(folder.databasePath())); // the program never makes one
    }
    QCOMPARE(storedInteger(folder, QStringLiteral("Index")), -1);
    QCOMPARE(storedInteger(folder, QStringLiteral("RO")), 0);
}

void tst_MainfrmStartup::storedIndexOutsideListSelectsFirstLanguage_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::newRow("-1 after a start without the database") << QByteArray("-1");
    QTest::newRow("past the end") << QByteArray("3");
}

void tst_MainfrmStartup::storedIndexOutsideListSelectsFirstLanguage()
{
    QFETCH(QByteArray, index);
    TestFolder folder;
    TestDatabase db(folder.databasePath());
    addThreeLanguages(db);
    folder.writeSettings("[MainForm]\nIndex=" + index + "\nRO=1\nW=700\n");
    ExceptionRecorder recorder;
    TForm1 form;
    QCOMPARE(recorder.messages(), QStringList());
    QCOMPARE(form.ui()->cbLanguage->currentIndex(), 0);
    QCOMPARE(form.ui()->dbeKeywords->text(), QStringLiteral("de"));
    QCOMPARE(form.width(), 700);
    QVERIFY(!form.ui()->actSetReadOnly->isChecked()); // the steps after it ran
}

void tst_MainfrmStartup::emptyLanguageTableIsNoError()
{
    TestFolder folder;
    TestDatabase db(folder.databasePath());
    db.addSpeech(1, QStringLiteral("no language is listed"));
    ExceptionRecorder recorder;
    TForm1 form;
    QCOMPARE(recorder.messages(), QStringList());
    QCOMPARE(form.ui()->cbLanguage->count(), 0);
    QCOMPARE(form.ui()->dbeKeywords->text(), QString());
    QVERIFY(!form.ui()->actSetReadOnly->isChecked());
    QVERIFY_THROWS_EXCEPTION(Exception, form.cbLanguageChange()); // nothing is selected
    // A speech must be filed under a language: without one, Insert rests and the status says why.
    QVERIFY(!form.ui()->DataSetInsert->isEnabled());
    QCOMPARE(form.statusPanel(HintPanelIndex)->text(),
             QStringLiteral("No language: add one under Extra > Languages to add speeches"));
    form.tblSpeech.insert();
    form.tblSpeechKeywords->setAsString(QStringLiteral("typed"));
    QVERIFY_THROWS_EXCEPTION(Exception, form.DataSetPostExecute());
    QCOMPARE(db.count(QStringLiteral("select count(*) from Speeches")), 1);
}

void tst_MainfrmStartup::closeAndReopenRestoresEverything()
{
    TestFolder folder;
    TestDatabase db(folder.databasePath());
    addThreeLanguages(db);
    {
        TForm1 form;
        form.move(40, 50);
        form.resize(640, 480);
        form.ui()->cbLanguage->setCurrentIndex(2);
        form.ui()->actSetReadOnly->trigger();
        QVERIFY(form.ui()->actSetReadOnly->isChecked());
    }
    QCOMPARE(storedInteger(folder, QStringLiteral("Index")), 2);
    TForm1 form;
    QCOMPARE(form.pos(), QPoint(40, 50));
    QCOMPARE(form.size(), QSize(640, 480));
    QCOMPARE(form.ui()->cbLanguage->currentText(), QStringLiteral("Nederlands"));
    QCOMPARE(form.ui()->dbeKeywords->text(), QStringLiteral("nl"));
    QVERIFY(form.ui()->actSetReadOnly->isChecked());
}

void tst_MainfrmStartup::otherSectionsAndCommentsAreKept()
{
    TestFolder folder;
    TestDatabase db(folder.databasePath());
    addThreeLanguages(db);
    folder.writeSettings("; my notes\n[Hacks]\nDatabase=Speeches.csp\n\n[MainForm]\nIndex=1\n[Other]\nx=y\n");
    {
        TForm1 form;
        QCOMPARE(form.ui()->cbLanguage->currentText(), QStringLiteral("English"));
    }
    const QByteArray written = folder.readSettings();
    QVERIFY(written.startsWith("; my notes\n[Hacks]\nDatabase=Speeches.csp\n\n[MainForm]\nIndex=1\n"));
    QVERIFY(written.endsWith("[Other]\nx=y\n"));
    QCOMPARE(storedInteger(folder, QStringLiteral("W")), 612);
}

void tst_MainfrmStartup::refusedSettingsWriteIsShownAndShutdownGoesOn()
{
    TestFolder folder;
    TestDatabase db(folder.databasePath());
    addThreeLanguages(db);
    ExceptionRecorder recorder;
    {
        TForm1 form;
        QDir(folder.path()).mkdir(QStringLiteral("Tinlark.ini")); // nothing can be written there now
    }
    QCOMPARE(recorder.messages(), QStringList{QStringLiteral("Unable to write to %1.").arg(folder.settingsPath())});
}

// A settings file brought from Windows: the window finds the database it names and, when the
// user changed nothing, writes back exactly the bytes it read.
void tst_MainfrmStartup::settingsFromWindowsKeepTheirBytes_data()
{
    QTest::addColumn<QByteArray>("settings");

    const QByteArray windows("; Notizen f\xFCr sp\xE4ter\r\n[Hacks]\r\nDatabase=R\xE9" "den.csp\r\n\r\n[Caf\xE9]\r\n"
                             "Name=Cr\xE8me br\xFBl\xE9" "e\r\n\r\n[MainForm]\r\nL=100\r\nT=90\r\nW=640\r\nH=480\r\n"
                             "CH=94\r\nIndex=1\r\nRO=1\r\n");
    QTest::newRow("Windows-1252, CR LF") << windows;
    QTest::newRow("lone CR") << QByteArray(windows).replace("\r\n", "\r");
    QByteArray unicode("\xFF\xFE");
    for (const QChar c : QString::fromLatin1(windows))
        unicode.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    QTest::newRow("UTF-16") << unicode;
}

void tst_MainfrmStartup::settingsFromWindowsKeepTheirBytes()
{
    QFETCH(QByteArray, settings);
    TestFolder folder;
    TestDatabase db(folder.filePath(QStringLiteral("R\u00E9den.csp")));
    addThreeLanguages(db);
    folder.writeSettings(settings);
    ExceptionRecorder recorder;
    {
        TForm1 form;
        QCOMPARE(recorder.messages(), QStringList());
        QCOMPARE(form.ui()->cbLanguage->currentText(), QStringLiteral("English"));
        QCOMPARE(form.size(), QSize(640, 480));
    }
    QCOMPARE(recorder.messages(), QStringList());
    QCOMPARE(folder.readSettings().toHex(' '), settings.toHex(' '));
}

void tst_MainfrmStartup::languagesInAlphabeticalOrder()
{
    TestFolder folder;
    TestDatabase db(folder.databasePath());
    const QString czech = QStringLiteral("\u010ce\u0161tina");
    const QString greek = QStringLiteral("\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac");
    for (const QString &name :
         {QStringLiteral("Zulu"), QStringLiteral("afrikaans"), czech, QStringLiteral("Deutsch"), greek, QStringLiteral("Dansk")})
        db.addLanguage(name);
    folder.writeSettings("[MainForm]\nIndex=1\n");
    TForm1 form;
    QStringList listed;
    for (int i = 0; i < form.ui()->cbLanguage->count(); ++i)
        listed.append(form.ui()->cbLanguage->itemText(i));
    const QStringList alphabetical = {QStringLiteral("afrikaans"), czech, QStringLiteral("Dansk"),
                                      QStringLiteral("Deutsch"), QStringLiteral("Zulu"), greek};
    QCOMPARE(listed, alphabetical);
    QCOMPARE(form.currentTaalId(), 3); // the stored position counts in the same order
}

void tst_MainfrmStartup::unusableGeometryIsBroughtBack_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<int>("commentsHeight"); // -1: whatever the window has room for
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QTest::newRow("huge") << QByteArray("L=0\nT=0\nW=100000\nH=100000\nCH=2147483647\n") << QRect(0, 0, 8192, 8192)
                          << -1;
    QTest::newRow("off every screen") << QByteArray("L=-5000\nT=-5000\n")
                                      << QRect(screen.topLeft(), QSize(612, 410)) << 94;
    QTest::newRow("larger than the screen and partly off it, as it stands")
        << QByteArray("L=300\nT=50\nW=3000\nH=2000\nCH=300\n") << QRect(300, 50, 3000, 2000) << 300;
    QTest::newRow("comments pane taller than the window")
        << QByteArray("CH=2000\n") << QRect(192, 153, 612, 410) << -1;
}

void tst_MainfrmStartup::unusableGeometryIsBroughtBack()
{
    QFETCH(QByteArray, settings);
    QFETCH(QRect, bounds);
    QFETCH(int, commentsHeight);
    TestFolder folder;
    TestDatabase db(folder.databasePath());
    addThreeLanguages(db);
    folder.writeSettings("[MainForm]\n" + settings);
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.frameGeometry(), bounds);
        const int pane = form.ui()->pnlComments->height();
        QVERIFY(pane < form.height());
        if (commentsHeight >= 0)
            QCOMPARE(pane, commentsHeight);
        else
            QVERIFY(pane > 94);
        form.close();
    }
    QCOMPARE(storedInteger(folder, QStringLiteral("W")), bounds.width());
    QCOMPARE(storedInteger(folder, QStringLiteral("H")), bounds.height());
    QVERIFY(storedInteger(folder, QStringLiteral("CH")) < bounds.height());
}

// Tinlark.ini naming a server instead of a file: the window shows the library on the server,
// with no question about a missing file.
void tst_MainfrmStartup::libraryOnAServerOpensInTheWindow()
{
    if (const QString missing = PostgresServer::missingReason(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    PostgresServer server;
    QVERIFY2(server.start(), qPrintable(server.error()));
    const QString dataSource = server.createDatabase(QStringLiteral("team"));
    {
        PostgresDatabase library(dataSource, nullptr);
        PostgresSchema::create(library);
        library.begin();
        Statement(&library, QStringLiteral("INSERT INTO \"Taal\" (\"Taal\") VALUES (?)")).execute({QStringLiteral("Deutsch")});
        Statement(&library, QStringLiteral("INSERT INTO \"Speeches\" (\"TaalID\", \"Keywords\") VALUES (1, ?)"))
            .execute({QStringLiteral("shared")});
        library.commit();
    }
    TestFolder folder;
    folder.writeSettings("[Hacks]\nDatabase=" + dataSource.toUtf8() + "\n");
    ExceptionRecorder recorder;
    {
        TForm1 form;
        QCOMPARE(recorder.messages(), QStringList());
        QCOMPARE(form.ui()->cbLanguage->currentText(), QStringLiteral("Deutsch"));
        QCOMPARE(form.ui()->dbeKeywords->text(), QStringLiteral("shared"));
    }
    QVERIFY(!QFile::exists(folder.databasePath()));
}

void tst_MainfrmStartup::unreachableServerIsNamedWithoutPassword()
{
    TestFolder folder;
    folder.writeSettings("[Hacks]\nDatabase=postgresql://someone:secret-word@/team?host=" + folder.path().toUtf8() + "none\n");
    ExceptionRecorder recorder;
    TForm1 form;
    QCOMPARE(recorder.messages().size(), 1);
    QVERIFY2(recorder.messages()[0].contains(QLatin1String("team")), qPrintable(recorder.messages()[0]));
    QVERIFY2(!recorder.messages()[0].contains(QLatin1String("secret-word")), qPrintable(recorder.messages()[0]));
    QVERIFY(!form.ui()->DataSetInsert->isEnabled());
    QVERIFY(!QFile::exists(folder.databasePath()));
}

void tst_MainfrmStartup::serverPasswordIsAskedFor_data()
{
    QTest::addColumn<QString>("session"); // "none": no desktop session; else the keyring: "running", "missing"
    QTest::addColumn<QString>("kept");    // what the keyring holds before; empty: nothing
    // In this order: one keyring for the rows, as the program's keyring library keeps its
    // first bus for good; the last ends it.
    QTest::newRow("no desktop session") << "none" << QString();
    QTest::newRow("kept one refused") << "running" << QStringLiteral("an old one");
    QTest::newRow("no keyring on the bus") << "missing" << QString();
}

// A server that wants a password the settings do not hold asks for it in a masked field,
// naming the server; the password reaches no message and no settings file. One the keyring
// kept that the server refuses is asked for anew, and the right one replaces it. A keyring
// that cannot keep it says so, once.
void tst_MainfrmStartup::serverPasswordIsAskedFor()
{
    QFETCH(QString, session);
    QFETCH(QString, kept);
    for (const QString &missing : {PostgresServer::missingReason(), session == "none" ? QString() : TestKeyring::missingReason()}) {
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
    }
    PostgresServer server;
    QVERIFY2(server.start(PostgresServer::Writes::Unsynced, PostgresServer::Network::TlsOnLocalhost),
             qPrintable(server.error()));
    const QString database = newServerLibrary(server);
    const QString dataSource = QStringLiteral("host=localhost port=%1 dbname=%2 user=%3 sslrootcert=%4")
                                   .arg(server.tcpPort())
                                   .arg(database, PostgresServer::user(), server.certificate());
    TestFolder folder;
    folder.writeSettings("[Hacks]\nDatabase=" + dataSource.toUtf8() + "\n");
    const QString serverName = QStringLiteral("localhost:%1/%2 as %3").arg(server.tcpPort()).arg(database, PostgresServer::user());
    if (session == "none") {
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    } else {
        if (!m_keyring) {
            m_keyring = std::make_unique<TestKeyring>();
            QVERIFY2(m_keyring->start(), qPrintable(m_keyring->error()));
        }
        if (session == "missing")
            m_keyring->stop();
        if (!kept.isEmpty())
            QVERIFY(Keyring::keep(serverName, kept.toUtf8()));
    }
    ExceptionRecorder recorder;
    QString question;
    answerNextModal([&](QWidget *dialog) {
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("edtPassword"));
        question = dialog->findChild<QLabel *>()->text();
        QCOMPARE(field->echoMode(), QLineEdit::Password);
        QCOMPARE(field->text(), QString());
        // Without a desktop session the keyring is not offered, nor asked; a refused kept one
        // is replaced unless the user says otherwise.
        auto *keep = dialog->findChild<QCheckBox *>(QStringLiteral("chkKeep"));
        QCOMPARE(keep->isEnabled(), session != "none");
        QCOMPARE(keep->isChecked(), !kept.isEmpty());
        if (session == "missing")
            QTest::mouseClick(keep, Qt::LeftButton, {}, QPoint(4, keep->height() / 2));
        QTest::keyClicks(field, PostgresServer::password());
        QTest::keyClick(field, Qt::Key_Return);
    });
    {
        TForm1 form;
        QCOMPARE(form.ui()->cbLanguage->currentText(), QStringLiteral("Deutsch"));
    }
    QVERIFY2(question.contains(serverName), qPrintable(question));
    QCOMPARE(question.contains(QLatin1String("kept in the desktop's keyring")), !kept.isEmpty());
    QVERIFY(!folder.readSettings().contains(PostgresServer::password().toUtf8()));
    // The words of the message are the store's test's; here, that it is shown, once.
    QCOMPARE(recorder.messages().size(), session == "missing" ? 1 : 0);
    if (session == "running")
        QCOMPARE(Keyring::find(serverName), std::optional(PostgresServer::password().toUtf8()));
    if (session == "missing")
        m_keyring.reset(); // the bus too: no later test meets it
}

// File > Open library with a URI that holds the password opens the library with it, asking
// nothing; the settings name the library without it.
void tst_MainfrmStartup::passwordInAnOpenedUriIsUsed()
{
    if (const QString missing = PostgresServer::missingReason(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    PostgresServer server;
    QVERIFY2(server.start(PostgresServer::Writes::Unsynced, PostgresServer::Network::TlsOnLocalhost),
             qPrintable(server.error()));
    const QString database = newServerLibrary(server);
    TestFolder folder;
    ExceptionRecorder recorder;
    TForm1 form;
    recorder.clear(); // no library yet
    {
        const std::shared_ptr<QObject> answering = answerOnly({[&](QWidget *dialog) {
            auto *place = dialog->findChild<QLineEdit *>(QStringLiteral("edLibrary"));
            QTest::keyClicks(place, QStringLiteral("postgresql://%1:%2@localhost:%3/%4?sslrootcert=%5")
                                        .arg(PostgresServer::user(), PostgresServer::password())
                                        .arg(server.tcpPort())
                                        .arg(database, server.certificate()));
            QTest::keyClick(place, Qt::Key_Return);
        }});
        form.ui()->actOpenLibrary->trigger();
    }
    QCOMPARE(recorder.messages(), QStringList());
    QCOMPARE(form.ui()->cbLanguage->currentText(), QStringLiteral("Deutsch"));
    QVERIFY(!folder.readSettings().contains(PostgresServer::password().toUtf8()));
}

void tst_MainfrmStartup::unusableDatabaseIsNamedAndRecordActionsRest_data()
{
    QTest::addColumn<QByteArray>("content"); // "missing" for no file
    QTest::addColumn<QString>("message");    // the start of the message, then the file's path
    QTest::newRow("missing") << QByteArray("missing") << QStringLiteral("Speech database not found!");
    QTest::newRow("zero bytes") << QByteArray() << QStringLiteral("The file %1 is not a speech database: it has no table Speeches.");
    QTest::newRow("foreign SQLite file") << QByteArray("create table Other (x)")
                                         << QStringLiteral("The file %1 is not a speech database: it has no table Speeches.");
    QTest::newRow("no database at all") << QByteArray(4096, 'x')
                                        << QStringLiteral("The file %1 is not a database. Put a speech database there");
}

// A start that finds no usable database says which file and why, and leaves every action
// that needs the speech list at rest instead of failing with the record set's words.
void tst_MainfrmStartup::unusableDatabaseIsNamedAndRecordActionsRest()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    TestFolder folder;
    if (content.startsWith("create")) {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(folder.databasePath().toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, content.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    } else if (content != "missing") {
        QFile file(folder.databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    ExceptionRecorder recorder;
    TForm1 form;
    QCOMPARE(recorder.messages().size(), 1);
    QVERIFY2(recorder.messages()[0].startsWith(message.arg(folder.databasePath())), qPrintable(recorder.messages()[0]));
    for (QAction *action : {form.ui()->DataSetFirst, form.ui()->DataSetPrior, form.ui()->DataSetNext,
                            form.ui()->DataSetLast, form.ui()->DataSetInsert, form.ui()->DataSetDelete,
                            form.ui()->DataSetEdit, form.ui()->DataSetPost, form.ui()->DataSetCancel,
                            form.ui()->DataSetRefresh, form.ui()->actFind, form.ui()->actLanguages})
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
}

void tst_MainfrmStartup::readOnlyDatabaseOpensReadOnly_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("reason");
    QTest::newRow("file system") << QStringLiteral("file system") << QStringLiteral("it lies on a read-only file system");
    QTest::newRow("file") << QStringLiteral("file") << QStringLiteral("the file is read-only");
    QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("its folder %1 is read-only");
}

// A database that cannot be written opens read-only and says so once; the mode the user
// chose is what the settings keep.
void tst_MainfrmStartup::readOnlyDatabaseOpensReadOnly()
{
    QFETCH(QString, what);
    QFETCH(QString, reason);
    TestFolder folder;
    const QString place = folder.filePath(QStringLiteral("place"));
    std::optional<SmallFileSystem> fileSystem;
    if (what == QLatin1String("file system")) {
        fileSystem.emplace(place, 1 << 20);
        if (!fileSystem->available())
            QSKIP(qPrintable(fileSystem->skipReason()));
    } else {
        if (::geteuid() == 0)
            QSKIP("root writes a read-only file or folder all the same: only a read-only file system stops it");
        QVERIFY(QDir().mkpath(place));
    }
    const QString databasePath = place + QStringLiteral("/Speeches.csp");
    {
        TestDatabase db(databasePath);
        addThreeLanguages(db);
    }
    if (fileSystem)
        QVERIFY(fileSystem->makeReadOnly());
    else if (what == QLatin1String("file"))
        QVERIFY(QFile::setPermissions(databasePath, QFile::ReadOwner));
    else
        QVERIFY(QFile::setPermissions(place, QFile::ReadOwner | QFile::ExeOwner));
    folder.writeSettings("[Hacks]\nDatabase=place/Speeches.csp\n[MainForm]\nRO=1\n");
    ExceptionRecorder recorder;
    {
        TForm1 form;
        QCOMPARE(recorder.messages(), QStringList()); // in the window's notice bar, not a box
        const QString said = form.noticeBar()->text();
        QVERIFY2(said.contains(databasePath) && said.contains(reason.arg(place)), qPrintable(said));
        QVERIFY(form.ui()->actSetReadOnly->isChecked());
        QVERIFY(!form.ui()->actSetReadOnly->isEnabled());
        QVERIFY(!form.ui()->DataSetEdit->isEnabled());
        QVERIFY(form.ui()->dbmTekst->isReadOnly());
        QCOMPARE(form.ui()->dbeKeywords->text(), QStringLiteral("de"));
    }
    QCOMPARE(recorder.messages(), QStringList());
    QCOMPARE(storedInteger(folder, QStringLiteral("RO")), 1); // the user's choice: edit mode
    QFile::setPermissions(place, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The day's backup runs off the window's thread; its failure is said in the status bar, not in a box.
void tst_MainfrmStartup::failedBackupIsSaidInTheStatusBar()
{
    TestFolder folder;
    TestDatabase db(folder.databasePath());
    addThreeLanguages(db);
    QFile blocker(folder.filePath(QStringLiteral("backups")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    ExceptionRecorder recorder;
    TForm1 form;
    QTRY_COMPARE(form.statusPanel(HintPanelIndex)->text(),
                 QStringLiteral("Cannot back up %1 into %2: it is not a folder; the earlier backups are kept")
                     .arg(folder.databasePath(), folder.filePath(QStringLiteral("backups"))));
    QCOMPARE(form.noticeBar()->text(), form.statusPanel(HintPanelIndex)->text()); // kept until read
    QCOMPARE(recorder.messages(), QStringList());
}

// A library an earlier build made, without the keyword index, opens at once; the index is
// built behind the window, which answers meanwhile and says how far it has come. Closing
// the window stops the build; the next start goes on from there.
void tst_MainfrmStartup::earlierBuildsLibraryIsIndexedWhileTheWindowWorks()
{
    TestFolder folder;
    TestDatabase db(folder.databasePath());
    addThreeLanguages(db); // Deutsch, selected at the first start, holds the speeches
    db.execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 60000) "
                              "INSERT INTO Speeches (TaalID, Keywords) SELECT 2, 'speech ' || i || "
                              "CASE WHEN i % 7 = 0 THEN ' thanks' ELSE '' END FROM n"));
    db.execute(QStringLiteral("DROP TABLE TinlarkKeywordIndexVersion"));
    const QString building = QStringLiteral("Indexing the keywords: ");
    ExceptionRecorder recorder;
    for (const bool closedHalfWay : {true, false}) {
        TForm1 form;
        QLabel *hint = form.statusPanel(HintPanelIndex);
        QTRY_VERIFY(hint->text().startsWith(building));
        QCOMPARE(form.tblSpeech.recordCount(), 60000 + 1);
        // Searches read the keywords meanwhile and find what the index finds later.
        search(form, QStringLiteral("thanks"));
        QCOMPARE(form.statusPanel(0)->text(), QStringLiteral("Search results: 8571"));
        if (closedHalfWay) {
            QVERIFY(hint->text().startsWith(building));
            break;
        }
        QTRY_VERIFY_WITH_TIMEOUT(hint->text().isEmpty(), 20000);
        QCOMPARE(db.count(QStringLiteral("SELECT count(*) FROM TinlarkKeywordIndexVersion WHERE Version LIKE 'building%'")), 0);
        search(form, QStringLiteral("thanks"));
        QCOMPARE(form.statusPanel(0)->text(), QStringLiteral("Search results: 8571"));
    }
    QCOMPARE(recorder.messages(), QStringList());
}

// Away from X11 (here offscreen, as on Wayland) the window says why the key does nothing, and
// the picker leaves the paste to the user whatever the settings ask.
void tst_MainfrmStartup::pickerKeyAndPasteWaitForX11()
{
    TestFolder folder;
    TestDatabase db(folder.databasePath());
    addThreeLanguages(db);
    folder.writeSettings("[Picker]\nGlobalKey=Ctrl+Alt+Space\nPasteAfterCopy=1\n");
    TForm1 form;
    ProgramWindows windows(form);
    QCOMPARE(form.statusPanel(HintPanelIndex)->text(),
             QStringLiteral("The picker's key Ctrl+Alt+Space works on X11 only: "
                            "bind tinlark --pick to it in the desktop's keyboard settings"));
    windows.openPicker();
    QCOMPARE(windows.picker()->findChild<QLabel *>(QStringLiteral("lblStatus"))->text(),
             QStringLiteral("Enter copies (then press Ctrl+V), Esc closes"));
}

TINLARK_TEST_MAIN(tst_MainfrmStartup)
#include "tst_MainfrmStartup.moc"
