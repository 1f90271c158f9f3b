#include "Finddlg.h"
#include "Historydlg.h"
#include "Languagesdlg.h"
#include "Pickfrm.h"
#include "ui_Historydlg.h"
#include "ui_Pickfrm.h"
#include "TDBGrid.h"
#include "MainWindowFixture.h"
#include "TestMain.h"

#include <QAccessible>
#include <QLineEdit>
#include <QToolButton>

namespace {

// What a screen reader hears as the control's name.
QString spokenName(QWidget *control)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

} // namespace

// Every control a user reaches says what it is, in the main window, the dialogs and the picker.
class tst_AccessibleNames : public QObject
{
    Q_OBJECT

private slots:
    void controlsHaveNames()
    {
        MainWindowFixture f;
        const TLMFindDialog find(f.form.get());
        const TLanguagesDialog languages(f.form.get());
        const THistoryDialog history(f.form.get(), THistoryDialog::Kind::Versions, f.form->Connection, f.form->tblSpeech, 1);
        const TPickForm picker(f.form->Connection, [] { return qint64(1); });
        const QList<std::pair<QWidget *, const char *>> expected = {
            {f.ui()->cbLanguage->lineEdit(), "Change language"},
            {f.ui()->dbeKeywords, "Keywords"},
            {f.ui()->dbmTekst, "Canned speech"},
            {f.ui()->dbmComments, "Comments"},
            {find.Edit1, "Find"},
            {languages.DBGrid1, "Languages"},
            {history.ui()->lvVersions, "Versions"},
            {picker.ui()->edSearch, "Words of a speech"},
            {picker.ui()->edSearch->findChild<QToolButton *>(), "Clear the words"},
            {picker.ui()->lbSpeeches, "Speeches found"},
            {picker.ui()->mmText, "Text of the chosen speech"},
        };
        for (const auto &[control, name] : expected)
            QCOMPARE(spokenName(control), QString::fromUtf8(name));
    }
};

TINLARK_TEST_MAIN(tst_AccessibleNames)
#include "tst_AccessibleNames.moc"
