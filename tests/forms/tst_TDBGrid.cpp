#include "Connection.h"
#include "DBGridModel.h"
#include "DataSource.h"
#include "DatabaseTexts.h"
#include "ExceptionRecorder.h"
#include "Field.h"
#include "RecordSet.h"
#include "TDBGrid.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <memory>

namespace {

// A grid over the languages Deutsch, English, Nederlands (or none), in a shown window
// with one more control to take the focus, the grid focused.
struct GridFixture
{
    QTemporaryDir dir;
    TestDatabase db{dir.filePath(QStringLiteral("Speeches.csp"))};
    Connection connection;
    RecordSet languages{&connection};
    DataSource source;
    ExceptionRecorder recorder;
    std::unique_ptr<QWidget> window;
    TDBGrid *grid = nullptr;
    QLineEdit *other = nullptr;

    explicit GridFixture(bool withLanguages = true)
    {
        if (withLanguages) {
            db.addLanguage(QStringLiteral("Nederlands"));
            db.addLanguage(QStringLiteral("Deutsch"));
            db.addLanguage(QStringLiteral("English"));
        }
        connection.setConnectionString(DatabaseTexts::connectionString(db.dataSource()));
        languages.setCommandText(DatabaseTexts::LanguageListCommand);
        languages.fieldByName(QStringLiteral("Taal"))->setDisplayLabel(QStringLiteral("Language"));
        languages.open();
        source.setDataSet(&languages);
        window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        grid = new TDBGrid(window.get());
        other = new QLineEdit(window.get());
        layout->addWidget(grid);
        layout->addWidget(other);
        grid->setDataSource(&source);
        grid->setFieldNames({QStringLiteral("Taal")});
        window->resize(300, 250);
        window->show();
        window->activateWindow();
        [&] { QVERIFY(QTest::qWaitForWindowActive(window.get())); }();
        focus(grid);
    }
    ~GridFixture()
    {
        window.reset(); // the grid goes before the data source it is bound to
    }

    void focus(QWidget *widget)
    {
        widget->setFocus();
        QTRY_VERIFY(widget->hasFocus());
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // Each key goes where the focus is by then, as the first one may open the cell editor.
    void type(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
    QString name() const { return const_cast<RecordSet &>(languages).fieldByName(QStringLiteral("Taal"))->asString(); }
    // The names as the grid shows them, a new row as "*" + its text.
    QStringList shown() const
    {
        QStringList names;
        DBGridModel *model = grid->gridModel();
        for (int row = 0; row < model->rowCount(); ++row)
            names.append((row == model->newRow() ? QStringLiteral("*") : QString()) + model->index(row, 0).data().toString());
        return names;
    }
    int gridRow() const { return grid->currentIndex().row(); }
};

// How many dark pixels the row indicator shows beside a row.
int darkPixels(TDBGrid *grid, int row)
{
    QHeaderView *indicator = grid->verticalHeader();
    const QImage image = indicator->grab().toImage();
    const int top = indicator->sectionViewportPosition(row);
    int dark = 0;
    for (int y = top + 2; y < top + indicator->sectionSize(row) - 2; ++y)
        for (int x = 2; x < image.width() - 2; ++x)
            dark += qGray(image.pixel(x, y)) < 80 ? 1 : 0;
    return dark;
}

} // namespace

class tst_TDBGrid : public QObject
{
    Q_OBJECT

private slots:
    void showsRowsUnderTheFieldsLabelAndFollowsTheCursor();
    void upAndDownMoveAndDownOnTheLastRowAddsOne();
    void insKeyInsertsAtTheCursorAndLeavingDropsTheUnchangedRow_data();
    void insKeyInsertsAtTheCursorAndLeavingDropsTheUnchangedRow();
    void typingEditsTheCellAndLeavingTheRowStoresIt();
    void f2OpensTheEditorOfARowInEdit();
    void cancelAndPostCloseTheEditor();
    void focusLeavingDropsAnUnchangedNewRowOnly();
    void typingIntoAnEmptyGridStartsItsFirstRow();
    void readOnlyGridRefusesChanges();
};

void tst_TDBGrid::showsRowsUnderTheFieldsLabelAndFollowsTheCursor()
{
    GridFixture f;
    QCOMPARE(f.grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Language"));
    QCOMPARE(f.shown(), (QStringList{"Deutsch", "English", "Nederlands"}));
    QCOMPARE(f.gridRow(), 0);
    QCOMPARE(f.grid->gridModel()->indicatorAt(0), DBGridModel::Indicator::Current);
    QCOMPARE(f.grid->gridModel()->indicatorAt(1), DBGridModel::Indicator::None);
    QVERIFY(darkPixels(f.grid, 0) > 0);
    QCOMPARE(darkPixels(f.grid, 1), 0);

    f.languages.last();
    QCOMPARE(f.gridRow(), 2);
    QCOMPARE(f.grid->gridModel()->indicatorAt(2), DBGridModel::Indicator::Current);

    // A row picked in the grid becomes the record set's row.
    const QRect cell = f.grid->visualRect(f.grid->model()->index(1, 0));
    QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(f.languages.recNo(), 1);
    QCOMPARE(f.name(), QStringLiteral("English"));
    QVERIFY(f.recorder.messages().isEmpty());
}

void tst_TDBGrid::upAndDownMoveAndDownOnTheLastRowAddsOne()
{
    GridFixture f;
    f.press(Qt::Key_Up);
    QVERIFY(f.languages.bof());
    f.press(Qt::Key_Down);
    QCOMPARE(f.name(), QStringLiteral("English"));
    QCOMPARE(f.gridRow(), 1);
    f.press(Qt::Key_Down);
    QCOMPARE(f.name(), QStringLiteral("Nederlands"));
    QCOMPARE(f.languages.state(), DataSetState::Browse);

    // Down on the last row adds a new row after it; again, nothing more happens.
    f.press(Qt::Key_Down);
    QCOMPARE(f.languages.state(), DataSetState::Insert);
    QCOMPARE(f.shown(), (QStringList{"Deutsch", "English", "Nederlands", "*"}));
    QCOMPARE(f.gridRow(), 3);
    QCOMPARE(f.grid->gridModel()->indicatorAt(3), DBGridModel::Indicator::Inserting);
    f.press(Qt::Key_Down);
    QCOMPARE(f.shown(), (QStringList{"Deutsch", "English", "Nederlands", "*"}));

    // Up from the unchanged new row drops it and goes to the last row.
    f.press(Qt::Key_Up);
    QCOMPARE(f.languages.state(), DataSetState::Browse);
    QCOMPARE(f.shown(), (QStringList{"Deutsch", "English", "Nederlands"}));
    QCOMPARE(f.name(), QStringLiteral("Nederlands"));
    QCOMPARE(f.gridRow(), 2);
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Taal")), 3);
}

void tst_TDBGrid::insKeyInsertsAtTheCursorAndLeavingDropsTheUnchangedRow_data()
{
    QTest::addColumn<Qt::Key>("leaveBy");
    QTest::addColumn<QString>("landsOn");
    QTest::newRow("up") << Qt::Key_Up << QStringLiteral("Deutsch");
    QTest::newRow("down") << Qt::Key_Down << QStringLiteral("English");
}

void tst_TDBGrid::insKeyInsertsAtTheCursorAndLeavingDropsTheUnchangedRow()
{
    QFETCH(Qt::Key, leaveBy);
    QFETCH(QString, landsOn);
    GridFixture f;
    f.press(Qt::Key_Down);
    f.press(Qt::Key_Insert);
    QCOMPARE(f.languages.state(), DataSetState::Insert);
    QCOMPARE(f.shown(), (QStringList{"Deutsch", "*", "English", "Nederlands"}));
    QCOMPARE(f.gridRow(), 1);
    f.press(leaveBy);
    QCOMPARE(f.languages.state(), DataSetState::Browse);
    QCOMPARE(f.shown(), (QStringList{"Deutsch", "English", "Nederlands"}));
    QCOMPARE(f.name(), landsOn);
    QCOMPARE(f.gridRow(), f.languages.recNo());
}

void tst_TDBGrid::typingEditsTheCellAndLeavingTheRowStoresIt()
{
    GridFixture f;
    f.press(Qt::Key_Down);
    f.type(QStringLiteral("Engels"));
    QCOMPARE(f.languages.state(), DataSetState::Edit);
    QVERIFY(f.grid->cellEditor());
    QCOMPARE(qobject_cast<QLineEdit *>(f.grid->cellEditor())->text(), QStringLiteral("Engels"));
    QCOMPARE(f.grid->gridModel()->indicatorAt(1), DBGridModel::Indicator::Editing);
    QCOMPARE(f.db.text(QStringLiteral("select Taal from Taal where ID = 3")), QStringLiteral("English"));

    f.press(Qt::Key_Down);
    QCOMPARE(f.languages.state(), DataSetState::Browse);
    QVERIFY(!f.grid->cellEditor());
    QCOMPARE(f.db.text(QStringLiteral("select Taal from Taal where ID = 3")), QStringLiteral("Engels"));
    QCOMPARE(f.shown(), (QStringList{"Deutsch", "Engels", "Nederlands"}));
    QCOMPARE(f.name(), QStringLiteral("Nederlands"));

    // A new row typed into and left upwards is stored where it stands.
    f.press(Qt::Key_Down);
    f.type(QStringLiteral("Zulu"));
    f.press(Qt::Key_Up);
    QCOMPARE(f.db.count(QStringLiteral("select count(*) from Taal where Taal = 'Zulu'")), 1);
    QCOMPARE(f.shown(), (QStringList{"Deutsch", "Engels", "Nederlands", "Zulu"}));
    QCOMPARE(f.name(), QStringLiteral("Nederlands"));
    QVERIFY(f.recorder.messages().isEmpty());
}

void tst_TDBGrid::f2OpensTheEditorOfARowInEdit()
{
    GridFixture f;
    f.languages.edit();
    QVERIFY(!f.grid->cellEditor());
    f.press(Qt::Key_F2);
    QVERIFY(f.grid->cellEditor());
    QCOMPARE(qobject_cast<QLineEdit *>(f.grid->cellEditor())->text(), QStringLiteral("Deutsch"));
    f.press(Qt::Key_End);
    f.type(QStringLiteral("land"));
    f.languages.post();
    QCOMPARE(f.db.text(QStringLiteral("select Taal from Taal where ID = 2")), QStringLiteral("Deutschland"));
}

void tst_TDBGrid::cancelAndPostCloseTheEditor()
{
    GridFixture f;
    f.type(QStringLiteral("Dutch"));
    f.languages.cancel();
    QVERIFY(!f.grid->cellEditor());
    QTRY_VERIFY(f.grid->hasFocus());
    QCOMPARE(f.shown(), (QStringList{"Deutsch", "English", "Nederlands"}));
    QCOMPARE(f.languages.state(), DataSetState::Browse); // the editor's last text went nowhere

    f.type(QStringLiteral("Dutch"));
    f.languages.post(); // takes the editor's text first
    QVERIFY(!f.grid->cellEditor());
    QCOMPARE(f.db.text(QStringLiteral("select Taal from Taal where ID = 2")), QStringLiteral("Dutch"));
    QCOMPARE(f.languages.state(), DataSetState::Browse);
}

void tst_TDBGrid::focusLeavingDropsAnUnchangedNewRowOnly()
{
    GridFixture f;
    f.languages.append();
    f.focus(f.other);
    QCOMPARE(f.languages.state(), DataSetState::Browse);
    QCOMPARE(f.shown(), (QStringList{"Deutsch", "English", "Nederlands"}));

    f.focus(f.grid);
    f.languages.append();
    f.languages.fieldByName(QStringLiteral("Taal"))->setAsString(QStringLiteral("Zulu"));
    f.focus(f.other);
    QCOMPARE(f.languages.state(), DataSetState::Insert);
}

void tst_TDBGrid::typingIntoAnEmptyGridStartsItsFirstRow()
{
    GridFixture f(false);
    QCOMPARE(f.grid->model()->rowCount(), 0);
    f.type(QStringLiteral("Frans"));
    QCOMPARE(f.languages.state(), DataSetState::Insert);
    QCOMPARE(qobject_cast<QLineEdit *>(f.grid->cellEditor())->text(), QStringLiteral("Frans"));
    f.press(Qt::Key_Up);
    QCOMPARE(f.db.text(QStringLiteral("select Taal from Taal")), QStringLiteral("Frans"));
    QCOMPARE(f.shown(), QStringList{"Frans"});
    QCOMPARE(f.gridRow(), 0);
}

void tst_TDBGrid::readOnlyGridRefusesChanges()
{
    GridFixture f;
    f.languages.close();
    f.languages.setLockType(LockType::ReadOnly);
    f.languages.open();
    f.type(QStringLiteral("x"));
    f.press(Qt::Key_Insert);
    f.press(Qt::Key_Down);
    f.press(Qt::Key_Down);
    f.press(Qt::Key_Down);
    QCOMPARE(f.languages.state(), DataSetState::Browse);
    QVERIFY(!f.grid->cellEditor());
    QCOMPARE(f.shown(), (QStringList{"Deutsch", "English", "Nederlands"}));
    QVERIFY(f.languages.eof());
    QVERIFY(f.recorder.messages().isEmpty());
}

TINLARK_TEST_MAIN(tst_TDBGrid)
#include "tst_TDBGrid.moc"
