#include "Aboutfrm.h"
#include "Encdec.h"
#include "ExceptionRecorder.h"
#include "Field.h" // the main window fixture needs it
#include "MainWindowFixture.h"
#include "ModalDialogHelper.h"
#include "PeImageBuilder.h"
#include "SampleVersionRecord.h"
#include "Shell.h"
#include "TVersionInfo.h"
#include "TestFolder.h"
#include "TestMain.h"
#include "ui_Mainfrm.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace {

const QString Author = QStringLiteral("The Tinlark developers");
const QString Maker = QStringLiteral("The Tinlark project");
const QString Copyright = QStringLiteral("\u00A9 2026 The Tinlark developers");
const QString Contact = QStringLiteral("mailto:tinlark@example.org");

// Stands in for the desktop's shell while it lives and keeps what it was asked to open.
struct FakeShell : Shell
{
    FakeShell() { Shell::setCurrent(this); }
    ~FakeShell() override { Shell::setCurrent(nullptr); }
    bool openAndWait(const QString &file, const QString &parameters) override
    {
        calls.append({file, parameters});
        return opens;
    }
    QList<QStringList> calls;
    bool opens = true;
};

QList<QLabel *> labels(const TAboutForm &form)
{
    return {form.Label1, form.Label2, form.Label3, form.Label4, form.Label5,
            form.Label6, form.Label7, form.Label8, form.Label9};
}

QStringList texts(const TAboutForm &form)
{
    QStringList result;
    for (const QLabel *label : labels(form))
        result.append(label->text());
    return result;
}

// What the window shows for a version record with this description, version and comments.
QStringList shownTexts(const QString &description, const QString &version, const QString &comments)
{
    return {QStringLiteral("The Tinlark"), QStringLiteral("Written by:"), QStringLiteral("Description: ") + description,
            QStringLiteral("Copyright: ") + Copyright, QStringLiteral("Version: ") + version,
            QStringLiteral("Comments: ") + comments, Author, QStringLiteral("Bugs and requests go to:"), Maker};
}

// The name under which the window looks for the running executable in a test folder.
QString executableIn(const TestFolder &folder)
{
    return folder.filePath(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

// Where a key pressed in the freshly opened window goes: the window's focused control.
QWidget *keyTarget(QWidget *dialog)
{
    QWidget *focused = QTest::qWaitForWindowActive(dialog) ? QApplication::focusWidget() : nullptr;
    return focused && focused->window() == dialog ? focused : dialog;
}

// Ends a window that a fault has left open, so that the test fails instead of hanging.
void closeIfOpen(QWidget *dialog)
{
    if (dialog->isVisible())
        static_cast<QDialog *>(dialog)->done(mrNone);
}

// What one showing of the About window left to be judged once it has closed.
struct Showing
{
    QStringList texts;
    QString title;
    QString name;
    QSize size;
    bool hadVersionInfo = false;
    QPointer<QWidget> window;
    QWidget *parent = nullptr;
    bool closedByEnter = false;
};

// Answers the next About window: reads it, then presses Enter. Shared, so that an answer
// that comes too late still has somewhere to write.
std::shared_ptr<Showing> readAndConfirmNextAbout()
{
    auto result = std::make_shared<Showing>();
    answerNextModal([result](QWidget *dialog) {
        Showing &showing = *result;
        if (auto *about = qobject_cast<TAboutForm *>(dialog)) {
            showing.texts = texts(*about);
            showing.title = about->windowTitle();
            showing.name = about->objectName();
            showing.size = about->size();
            showing.hadVersionInfo = about->versionInfo() != nullptr;
            showing.window = about;
            showing.parent = about->parentWidget();
        }
        QTest::keyClick(keyTarget(dialog), Qt::Key_Return);
        showing.closedByEnter = !dialog->isVisible();
        closeIfOpen(dialog);
    });
    return result;
}

} // namespace

class tst_Aboutfrm : public QObject
{
    Q_OBJECT

private slots:
    void aboutActionShowsTheProgramsRecord();
    void textsFitTheirLabelsAndTheWindow();
    void closing_data();
    void closing();
    void linkClicksOpenTheContact_data();
    void linkClicksOpenTheContact();
    void targetThatCannotBeOpenedBringsNoMessage();
    void otherVersionRecords_data();
    void otherVersionRecords();
    void scrambledTextsComeBackWhole_data();
    void scrambledTextsComeBackWhole();
    void sourcesHoldNoClearText();
};

// Twice in a row from the Help menu's action, over the window of the built program.
void tst_Aboutfrm::aboutActionShowsTheProgramsRecord()
{
    MainWindowFixture f;
    QVERIFY(QFile::link(QCoreApplication::applicationFilePath(), executableIn(f.folder)));
    for (int opening = 0; opening < 2; ++opening) {
        const std::shared_ptr<Showing> opened = readAndConfirmNextAbout();
        f.ui()->actAbout->trigger();
        const Showing &showing = *opened;
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(showing.texts,
                 shownTexts(QStringLiteral("Application for storing \"Canned Speeches\""), QStringLiteral(TINLARK_VERSION),
                            QStringLiteral("Free software, GNU GPL 3 or later")));
        QCOMPARE(showing.title, QStringLiteral("About"));
        QCOMPARE(showing.name, QStringLiteral("AboutForm"));
        QCOMPARE(showing.size, QSize(354, 277));
        QVERIFY(showing.closedByEnter);
        QVERIFY(showing.hadVersionInfo);
        QCOMPARE(showing.parent, f.form.get());
        QVERIFY(!showing.window); // gone once closed
        f.activate();
    }
    QCOMPARE(f.recorder.messages(), QStringList());
}

// No text is cut off or runs into the next one, whatever font stands in for the Windows one.
void tst_Aboutfrm::textsFitTheirLabelsAndTheWindow()
{
    TAboutForm form(nullptr);
    const QRect picture = form.Image2->geometry();
    for (const QLabel *label : labels(form)) {
        QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->objectName()));
        QVERIFY2(picture.contains(label->geometry()), qPrintable(label->objectName()));
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }
    QVERIFY(form.Label2->geometry().right() < form.Label7->x());
    QVERIFY(form.Label8->geometry().right() < form.Label9->x());
    QVERIFY(form.Label1->geometry().bottom() < form.Label2->y());
    QVERIFY(form.Label7->geometry().bottom() < form.Label9->y());
    QCOMPARE(form.btnOk->geometry(), QRect(274, 248, 75, 25));
    QVERIFY(!form.Image2->pixmap().isNull());
    QCOMPARE(form.Image1->size(), QSize(29, 200));
}

void tst_Aboutfrm::closing_data()
{
    QTest::addColumn<int>("key"); // Qt::Key_unknown: the close box
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter") << int(Qt::Key_Return) << true << int(mrOk);
    QTest::newRow("Esc") << int(Qt::Key_Escape) << false << int(mrOk);
    QTest::newRow("close box") << int(Qt::Key_unknown) << true << int(mrCancel);
}

void tst_Aboutfrm::closing()
{
    QFETCH(int, key);
    QFETCH(bool, closes);
    QFETCH(int, result);
    TAboutForm form(nullptr);
    bool closed = false;
    // Judged after the window has closed, so that a failure cannot leave it open.
    answerNextModal([&](QWidget *dialog) {
        QWidget *target = keyTarget(dialog);
        if (key == Qt::Key_unknown)
            dialog->close();
        else
            QTest::keyClick(target, Qt::Key(key));
        closed = !dialog->isVisible();
        if (!closed)
            QTest::keyClick(target, Qt::Key_Return);
        closeIfOpen(dialog);
    });
    QCOMPARE(form.exec(), result);
    QCOMPARE(closed, closes);
}

void tst_Aboutfrm::linkClicksOpenTheContact_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("releasedOver");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("opens");
    QTest::newRow("author") << "Label7" << true << int(Qt::LeftButton) << true;
    QTest::newRow("maker") << "Label9" << true << int(Qt::LeftButton) << true;
    QTest::newRow("released elsewhere") << "Label7" << false << int(Qt::LeftButton) << false;
    QTest::newRow("right button") << "Label9" << true << int(Qt::RightButton) << false;
    QTest::newRow("not a link") << "Label8" << true << int(Qt::LeftButton) << false;
}

void tst_Aboutfrm::linkClicksOpenTheContact()
{
    QFETCH(QString, link);
    QFETCH(bool, releasedOver);
    QFETCH(int, button);
    QFETCH(bool, opens);
    FakeShell shell;
    TAboutForm form(nullptr);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QLabel *label = form.findChild<QLabel *>(link);
    QVERIFY(label);
    const QPoint over = label->rect().center();
    QTest::mousePress(label, Qt::MouseButton(button), {}, over);
    QTest::mouseRelease(label, Qt::MouseButton(button), {}, releasedOver ? over : QPoint(over.x(), -20));
    const QList<QStringList> expected = opens ? QList<QStringList>{{Contact, QString()}} : QList<QStringList>();
    QCOMPARE(shell.calls, expected);
    QVERIFY(form.isVisible());
}

void tst_Aboutfrm::targetThatCannotBeOpenedBringsNoMessage()
{
    ExceptionRecorder recorder;
    FakeShell shell;
    shell.opens = false;
    TAboutForm form(nullptr);
    form.Label7Click();
    QCOMPARE(shell.calls.size(), 1);
    QCOMPARE(recorder.messages(), QStringList());
}

void tst_Aboutfrm::otherVersionRecords_data()
{
    QTest::addColumn<bool>("withRecord");
    QTest::addColumn<VersionValues>("values");
    QTest::addColumn<QStringList>("shown");

    const VersionValues programs = {{QStringLiteral("FileDescription"), QStringLiteral("Application")},
                                    {QStringLiteral("FileVersion"), QStringLiteral("2.5")},
                                    {QStringLiteral("Comments"), QStringLiteral("Beta")}};
    QTest::newRow("full record") << true << programs << shownTexts("Application", "2.5", "Beta");
    VersionValues noDescription = programs;
    noDescription[0].second.clear();
    QTest::newRow("empty description") << true << noDescription << shownTexts("", "2.5", "Beta");
    QTest::newRow("version from the fixed part")
        << true << VersionValues{programs[0], programs[2]} << shownTexts("Application", "1.0.0.2", "Beta");
    QTest::newRow("signs and markup as they stand")
        << true
        << VersionValues{{QStringLiteral("FileDescription"), QStringLiteral("100% %1 <b>sure</b> %s")},
                         {QStringLiteral("Comments"), QStringLiteral("&amp; %2")}}
        << shownTexts("100% %1 <b>sure</b> %s", "1.0.0.2", "&amp; %2");
    QTest::newRow("no executable") << false << VersionValues() << shownTexts("", "", "");
}

// The window reads the executable in the program's folder, here a stand-in of ours.
void tst_Aboutfrm::otherVersionRecords()
{
    QFETCH(bool, withRecord);
    QFETCH(VersionValues, values);
    QFETCH(QStringList, shown);
    TestFolder folder;
    if (withRecord) {
        PeImageBuilder pe;
        pe.addVersionBlock(VersionBlockWriter::versionBlock(sampleVersionRecord(values)));
        QFile file(executableIn(folder));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(pe.build());
    }
    TAboutForm form(nullptr);
    QCOMPARE(texts(form), shown);
    QCOMPARE(form.versionInfo()->GetFileName(), executableIn(folder));
    QCOMPARE(form.Label3->textFormat(), Qt::PlainText);
}

void tst_Aboutfrm::scrambledTextsComeBackWhole_data()
{
    QTest::addColumn<QByteArray>("scrambled");
    QTest::addColumn<QString>("text");
    QTest::newRow("author") << ScrambledAuthor << Author;
    QTest::newRow("maker") << ScrambledMaker << Maker;
    QTest::newRow("copyright") << ScrambledCopyright << Copyright;
}

void tst_Aboutfrm::scrambledTextsComeBackWhole()
{
    QFETCH(QByteArray, scrambled);
    QFETCH(QString, text);
    QCOMPARE(Decrypt(scrambled), text.toUtf8());
    QCOMPARE(Encrypt(text.toUtf8()), scrambled);
}

// The personal texts are kept scrambled only; none of them may stand in the window's sources.
void tst_Aboutfrm::sourcesHoldNoClearText()
{
    for (const char *name : {"Aboutfrm.h", "Aboutfrm.cpp", "Aboutfrm.ui"}) {
        QFile source(QStringLiteral(TINLARK_FORMS_DIR "/") + QLatin1String(name));
        QVERIFY2(source.open(QIODevice::ReadOnly), name);
        const QString content = QString::fromUtf8(source.readAll());
        QVERIFY(!content.isEmpty());
        for (const QString &text : {Author, Maker, Copyright, Contact, QStringLiteral("example.org")})
            QVERIFY2(!content.contains(text, Qt::CaseInsensitive), qPrintable(QStringLiteral("%1 in %2").arg(text, name)));
    }
}

TINLARK_TEST_MAIN(tst_Aboutfrm)
#include "tst_Aboutfrm.moc"
