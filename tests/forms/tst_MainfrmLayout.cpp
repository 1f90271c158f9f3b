// The main window as a new user meets it, at the fonts and scales of common desktops: every
// band shows whole in one row, and the window keeps the size it was given whatever is shown
// or dragged inside it. The test runs once as is, and at one and a half and twice the pixels
// (QT_SCALE_FACTOR). With TINLARK_LAYOUT_PICTURES set to a folder, it leaves a picture of
// the window of each row there.

#include "ExceptionRecorder.h"
#include "Mainfrm.h"
#include "TApplication.h"
#include "TestDatabase.h"
#include "TestFolder.h"
#include "TestMain.h"
#include "ui_Mainfrm.h"

#include <QDir>
#include <QLabel>
#include <memory>
#include <QScopeGuard>
#include <QSettings>
#include <QToolBar>
#include <QToolButton>

namespace {

const QByteArray StoredBounds = "[MainForm]\nL=40\nT=30\nW=612\nH=410\n";

// The window's own area a child covers.
QRect placeIn(const QWidget *window, const QWidget *child)
{
    return QRect(child->mapTo(window, QPoint(0, 0)), child->size());
}

// The main window shown on a database of one language, with the settings given (none: a
// first start). Closing it stores the settings.
struct ShownWindow
{
    TestFolder folder;
    ExceptionRecorder recorder;
    std::unique_ptr<TForm1> form;

    explicit ShownWindow(const QByteArray &settings)
    {
        {
            TestDatabase db(folder.databasePath());
            db.addSpeech(db.addLanguage(QStringLiteral("Nederlands")), QStringLiteral("nl"));
        }
        if (!settings.isEmpty())
            folder.writeSettings(settings);
        form = std::make_unique<TForm1>();
        form->show();
    }
    QSize storedSize()
    {
        form->close();
        form.reset();
        QSettings settings(folder.settingsPath(), QSettings::IniFormat);
        return QSize(settings.value(QStringLiteral("MainForm/W")).toInt(), settings.value(QStringLiteral("MainForm/H")).toInt());
    }
};

} // namespace

class tst_MainfrmLayout : public QObject
{
    Q_OBJECT

private slots:
    void everyBandShowsWholeInOneRow_data();
    void everyBandShowsWholeInOneRow();
    void windowKeepsItsSize_data();
    void windowKeepsItsSize();
};

void tst_MainfrmLayout::everyBandShowsWholeInOneRow_data()
{
    QTest::addColumn<double>("pointSize");
    QTest::addColumn<QByteArray>("settings");
    // 9 to 11 points are the desktops' defaults; 13.5 is 9 points at one and a half times.
    for (const double points : {9.0, 10.0, 11.0, 13.5}) {
        QTest::addRow("%g pt, first start", points) << points << QByteArray();
        QTest::addRow("%g pt, stored 612x410", points) << points << StoredBounds;
    }
}

void tst_MainfrmLayout::everyBandShowsWholeInOneRow()
{
    QFETCH(double, pointSize);
    QFETCH(QByteArray, settings);
    const QFont desktopFont = QApplication::font();
    QFont font = desktopFont;
    font.setPointSizeF(pointSize);
    QApplication::setFont(font);
    const auto restoreFont = qScopeGuard([&desktopFont] { QApplication::setFont(desktopFont); });
    ShownWindow shown(settings);
    TForm1 &form = *shown.form;
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(shown.recorder.messages(), QStringList());
    // The settings hold the window's outer size, frame included.
    const QSize outer = form.frameGeometry().size();
    if (settings.isEmpty())
        QVERIFY2(outer.width() >= 612 && outer.height() == 410, qPrintable(QStringLiteral("%1x%2").arg(outer.width()).arg(outer.height())));
    else
        QCOMPARE(outer, QSize(612, 410));

    const QRect window = form.rect();
    Ui::TForm1 *ui = form.ui();
    for (int i = 1; i <= 10; ++i) {
        const auto *button = form.findChild<QToolButton *>(QStringLiteral("ToolButton%1").arg(i));
        QVERIFY(button);
        QTRY_VERIFY2(button->isVisible(), qPrintable(button->objectName()));
        QVERIFY2(ui->ToolBar1->rect().contains(button->geometry()), qPrintable(button->objectName()));
    }
    const auto *overflow = ui->ToolBar1->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
    QVERIFY(!overflow || !overflow->isVisible());
    // The three bands in one row, inside the window.
    for (const QToolBar *band : {ui->ToolBar1, ui->LanguageBand, ui->ReadOnlyBand}) {
        QVERIFY2(window.contains(placeIn(&form, band)), qPrintable(band->objectName()));
        QCOMPARE(band->y(), ui->ToolBar1->y());
    }
    // Nothing cut: the selector shows a language's name, the switch its caption.
    QVERIFY(ui->cbLanguage->isVisible() && ui->sbReadOnly->isVisible());
    QVERIFY(ui->cbLanguage->lineEdit()->width() > ui->cbLanguage->fontMetrics().horizontalAdvance(QStringLiteral("Nederlands")));
    QVERIFY(ui->sbReadOnly->width() > ui->sbReadOnly->fontMetrics().horizontalAdvance(QStringLiteral("Read-Only")));
    QVERIFY(placeIn(&form, ui->cbLanguage).right() < placeIn(&form, ui->sbReadOnly).left());
    // A picture of each row where one is asked for, to look at.
    if (const QString pictures = qEnvironmentVariable("TINLARK_LAYOUT_PICTURES"); !pictures.isEmpty())
        form.grab().save(QDir(pictures).filePath(QString::fromUtf8(QTest::currentDataTag()) + QStringLiteral(".png")));
    if (!settings.isEmpty())
        QCOMPARE(shown.storedSize(), QSize(612, 410));
}

void tst_MainfrmLayout::windowKeepsItsSize_data()
{
    QTest::addColumn<bool>("dragSplitter");
    QTest::newRow("splitter dragged up past the top") << true;
    QTest::newRow("a hint longer than the window") << false;
}

void tst_MainfrmLayout::windowKeepsItsSize()
{
    QFETCH(bool, dragSplitter);
    ShownWindow shown(StoredBounds);
    TForm1 &form = *shown.form;
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QSize outer = form.frameGeometry().size();
    QCOMPARE(outer, QSize(612, 410));
    Ui::TForm1 *ui = form.ui();
    if (dragSplitter) {
        QWidget *splitter = ui->Splitter1;
        const QPoint grip(splitter->width() / 2, 1);
        QTest::mousePress(splitter, Qt::LeftButton, {}, grip);
        QTest::mouseMove(splitter, grip - QPoint(0, 1000));
        QTest::mouseRelease(splitter, Qt::LeftButton, {}, grip - QPoint(0, 1000));
        // The comments grew as far as the speech above still has its smallest height.
        QVERIFY(ui->pnlComments->height() > 94);
        QTRY_VERIFY(ui->Panel2->height() >= ui->Panel2->minimumSizeHint().height());
        QVERIFY(ui->dbmTekst->isVisible() && ui->dbmTekst->height() > 0);
    } else {
        const QString longText = QStringLiteral("A hint that goes on and on ").repeated(8);
        TApplication::instance()->setHint(longText);
        QCOMPARE(form.statusPanel(HintPanelIndex)->text(), longText);
    }
    QTest::qWait(50); // a size the window would take comes from the layout's next run
    QCOMPARE(form.frameGeometry().size(), outer);
    QVERIFY(form.minimumSizeHint().width() <= form.width() && form.minimumSizeHint().height() <= form.height());
    TApplication::instance()->setHint(QString());
    QCOMPARE(shown.storedSize(), QSize(612, 410));
}

TINLARK_TEST_MAIN(tst_MainfrmLayout)
#include "tst_MainfrmLayout.moc"
