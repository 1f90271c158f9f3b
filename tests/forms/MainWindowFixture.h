#pragma once

#include "ExceptionRecorder.h"
#include "Field.h"
#include "Mainfrm.h"
#include "TestDatabase.h"
#include "TestServer.h"
#include "TestFolder.h"
#include "ui_Mainfrm.h"

#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <memory>

// Opens the File menu of window with a click and picks the entry whose underlined key is key.
inline void chooseFromFileMenu(TForm1 *window, Qt::Key key)
{
    QMenuBar *bar = window->ui()->MainMenu1;
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(window->ui()->File1->menuAction()).center());
    QTRY_COMPARE(QApplication::activePopupWidget(), window->ui()->File1);
    QTest::keyClick(window->ui()->File1, key);
}

// A main window on a fresh database of two languages, shown and active, ready for keys.
// English (ID 1) has three speeches, Deutsch (ID 2) one, Leeg (ID 3) none; the selector
// lists Deutsch, English, Leeg.
struct MainWindowFixture
{
    TestFolder folder;
    TestDatabase db{folder.databasePath()};
    ExceptionRecorder recorder;
    std::unique_ptr<TForm1> form;
    QList<int> english;

    explicit MainWindowFixture(bool readOnly = false)
    {
        db.addLanguage(QStringLiteral("English"));
        db.addLanguage(QStringLiteral("Deutsch"));
        db.addLanguage(QStringLiteral("Leeg"));
        english.append(db.addSpeech(1, QStringLiteral("hello"), QStringLiteral("Hello there"), QStringLiteral("c1")));
        english.append(db.addSpeech(1, QStringLiteral("thanks"), QStringLiteral("Thank you"), QStringLiteral("c2")));
        english.append(db.addSpeech(1, QStringLiteral("bye"), QStringLiteral("Goodbye"), QStringLiteral("c3")));
        db.addSpeech(2, QStringLiteral("hallo"), QStringLiteral("Hallo"));
        folder.writeSettings(QByteArray("[MainForm]\nIndex=1\nRO=") + (readOnly ? "0" : "1") + "\n");
        open();
    }

    void open()
    {
        form = std::make_unique<TForm1>();
        form->show();
        activate();
    }

    // Makes the window active again, as after a modal dialog has closed.
    void activate()
    {
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    // Closes the window as the user does, then destroys it, which stores the settings.
    void close()
    {
        form->close();
        form.reset();
    }

    Ui::TForm1 *ui() const { return form->ui(); }
    int currentId() const { return form->tblSpeechID->asInteger(); }
    void focus(QWidget *widget)
    {
        widget->setFocus();
        QTRY_VERIFY(widget->hasFocus());
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // Picks a language in the selector with the arrow keys, as the user does.
    void selectLanguage(int index)
    {
        QComboBox *selector = ui()->cbLanguage;
        selector->setFocus();
        QTRY_VERIFY(selector->hasFocus());
        while (selector->currentIndex() != index) {
            const int before = selector->currentIndex();
            QTest::keyClick(QApplication::focusWidget(), before < index ? Qt::Key_Down : Qt::Key_Up);
            if (selector->currentIndex() == before)
                break;
        }
    }
    void type(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }
};
