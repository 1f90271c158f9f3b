#include "ModalDialogHelper.h"
#include "MulDiv.h"
#include "TButton.h"
#include "TestMain.h"
#include "Wwmsgdlg.h"

#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QWindow>

namespace {

// The standard and extra buttons of a dialog from left to right, by name.
QStringList buttonNames(const QWidget *form)
{
    QList<TButton *> buttons = form->findChildren<TButton *>();
    std::sort(buttons.begin(), buttons.end(), [](TButton *a, TButton *b) { return a->x() < b->x(); });
    QStringList names;
    for (const TButton *button : std::as_const(buttons))
        names.append(button->objectName());
    return names;
}

QString nameOf(const QWidget *widget)
{
    return widget ? widget->objectName() : QString();
}

QString defaultButtonName(const QWidget *form)
{
    for (const TButton *button : form->findChildren<TButton *>()) {
        if (button->isDefault())
            return button->objectName();
    }
    return QString();
}

QString cancelButtonName(const QWidget *form)
{
    for (const TButton *button : form->findChildren<TButton *>()) {
        if (button->cancel())
            return button->objectName();
    }
    return QString();
}

// Answers the next dialog through answer. A dialog that the answer leaves open ends after
// a while with -99, so that a failing test fails instead of waiting for ever.
void answerNext(std::function<void(QWidget *dialog)> answer)
{
    answerNextModal([answer = std::move(answer)](QWidget *dialog) {
        QTimer::singleShot(5000, dialog, [dialog] { static_cast<QDialog *>(dialog)->done(-99); });
        answer(dialog);
    });
}

// Presses key where a user's key lands, once the dialog has the keyboard.
void pressKey(QWidget *dialog, Qt::Key key)
{
    [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(dialog);
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : dialog;
    QTest::keyClick(target, key);
}

// What a test reads from the open dialog before it answers it.
struct Seen
{
    QString title;
    bool icon = false;
    QStringList buttons;
    QString focus;
    QStringList captions;
    int helpContext = -1;
};

Seen look(QWidget *dialog)
{
    QList<TButton *> buttons = dialog->findChildren<TButton *>();
    std::sort(buttons.begin(), buttons.end(), [](TButton *a, TButton *b) { return a->x() < b->x(); });
    QStringList captions;
    for (const TButton *button : std::as_const(buttons))
        captions.append(button->text());
    const auto *form = qobject_cast<TMessageForm *>(dialog);
    return {dialog->windowTitle(), dialog->findChild<QLabel *>(QStringLiteral("Image")) != nullptr,
            buttonNames(dialog), nameOf(QApplication::focusWidget()), captions, form ? form->helpContext() : -1};
}

// The dialog's spacing, worked out from its font as the builder does.
struct Units
{
    explicit Units(const QFont &font)
    {
        const QFontMetrics metrics(font);
        x = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52;
        y = metrics.height();
    }
    int x;
    int y;
};

} // namespace

class tst_Wwmsgdlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TApplication::instance()->setTitle(QStringLiteral("The Tinlark")); }

    void cleanup()
    {
        setMessageFormAnswer(nullptr);
        QTRY_VERIFY(!QApplication::activeModalWidget());
    }

    // Which button carries the Default and Cancel flags and the focus, and what Enter and
    // Esc answer.
    void keysFollowTheButtonRules_data()
    {
        QTest::addColumn<quint16>("buttons");
        QTest::addColumn<bool>("focusNegative");
        QTest::addColumn<QString>("defaultButton");
        QTest::addColumn<QString>("cancelButton");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("enter");
        QTest::addColumn<int>("escape");
        const quint16 yesNo = TMsgDlgButtons{mbYes, mbNo}.bits();
        const quint16 yesNoCancel = TMsgDlgButtons{mbYes, mbNo, mbCancel}.bits();
        const quint16 okCancel = TMsgDlgButtons{mbOK, mbCancel}.bits();
        QCOMPARE(yesNo, 3);
        QCOMPARE(yesNoCancel, 11);
        QCOMPARE(okCancel, 12);
        QTest::newRow("Yes No") << yesNo << false << "Yes" << "No" << "Yes" << mrYes << mrNo;
        QTest::newRow("Yes No, focus negative") << yesNo << true << "Yes" << "No" << "No" << mrNo << mrNo;
        QTest::newRow("Yes No Cancel") << yesNoCancel << false << "Yes" << "Cancel" << "Yes" << mrYes << mrCancel;
        QTest::newRow("Yes No Cancel, focus negative") << yesNoCancel << true << "Yes" << "Cancel" << "No" << mrNo << mrCancel;
        QTest::newRow("OK Cancel") << okCancel << false << "OK" << "Cancel" << "OK" << mrOk << mrCancel;
        QTest::newRow("OK Cancel, focus negative") << okCancel << true << "OK" << "Cancel" << "Cancel" << mrCancel << mrCancel;
        QTest::newRow("OK alone") << TMsgDlgButtons{mbOK}.bits() << false << "OK" << "OK" << "OK" << mrOk << mrOk;
        QTest::newRow("Yes OK") << TMsgDlgButtons{mbYes, mbOK}.bits() << false << "OK" << "OK" << "OK" << mrOk << mrOk;
        QTest::newRow("Yes OK, focus negative") << TMsgDlgButtons{mbYes, mbOK}.bits() << true << "Yes" << "OK" << "Yes" << mrYes << mrOk;
        // No default button: the focus starts on the first button; Esc has nothing to press.
        QTest::newRow("Abort Ignore") << TMsgDlgButtons{mbAbort, mbIgnore}.bits() << false << "" << "" << "Abort" << mrAbort << -1;
    }

    void keysFollowTheButtonRules()
    {
        QFETCH(quint16, buttons);
        QFETCH(bool, focusNegative);
        QFETCH(QString, defaultButton);
        QFETCH(QString, cancelButton);
        QFETCH(QString, focus);
        QFETCH(int, enter);
        QFETCH(int, escape);
        const TMsgDlgButtons set = TMsgDlgButtons::fromBits(buttons);
        const QString message = QStringLiteral("Doorgaan?");
        {
            const auto form = CreateMessageForm(message, mtConfirmation, set, {}, focusNegative, QString());
            QCOMPARE(defaultButtonName(form.get()), defaultButton);
            QCOMPARE(cancelButtonName(form.get()), cancelButton);
        }
        TMessageDlgOptions options;
        options.FocusNegative = focusNegative;

        QString focused;
        answerNext([&focused](QWidget *dialog) {
            [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(dialog);
            focused = nameOf(QApplication::focusWidget());
            pressKey(dialog, Qt::Key_Return);
        });
        QCOMPARE(WWMessageDlg(message, mtConfirmation, set, options), enter);
        QCOMPARE(focused, focus);

        bool escapePressedNothing = false;
        answerNext([&escapePressedNothing](QWidget *dialog) {
            pressKey(dialog, Qt::Key_Escape);
            if (QApplication::activeModalWidget() == dialog) {
                escapePressedNothing = true;
                dialog->findChildren<TButton *>().constFirst()->click();
            }
        });
        const int answer = WWMessageDlg(message, mtConfirmation, set, options);
        QCOMPARE(escapePressedNothing ? -1 : answer, escape);
    }

    // The title follows the kind unless a caption is given; mtCustom has no icon and takes
    // the application's title.
    void titleAndIcon_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("icon");
        const QStringList titles = {"Waarschuwing", "Fout", "Informatie", "Bevestigen", "The Tinlark"};
        for (int kind = mtWarning; kind <= mtCustom; ++kind) {
            QTest::addRow("kind %d", kind) << kind << QString() << titles[kind] << (kind != mtCustom);
            QTest::addRow("kind %d with a caption", kind) << kind << "Let op" << "Let op" << (kind != mtCustom);
        }
    }

    void titleAndIcon()
    {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(QString, title);
        QFETCH(bool, icon);
        TMessageDlgOptions options;
        options.Caption = caption;
        Seen seen;
        answerNext([&seen](QWidget *dialog) {
            seen = look(dialog);
            pressKey(dialog, Qt::Key_Enter);
        });
        QCOMPARE(WWMessageDlg(QStringLiteral("Bericht"), TMsgDlgType(kind), {mbOK}, options), mrOk);
        QCOMPARE(seen.title, title);
        QCOMPARE(seen.icon, icon);
    }

    void helpButtonAsksForHelpAndStaysOpen()
    {
        QSignalSpy help(TApplication::instance(), &TApplication::helpRequested);
        TMessageDlgOptions options;
        options.HelpCtx = 42;
        bool openAfterHelp = false;
        answerNext([&openAfterHelp](QWidget *dialog) {
            dialog->findChild<TButton *>(QStringLiteral("Help"))->click();
            openAfterHelp = QApplication::activeModalWidget() == dialog;
            pressKey(dialog, Qt::Key_Escape);
        });
        QCOMPARE(WWMessageDlg(QStringLiteral("Hulp nodig?"), mtInformation, {mbOK, mbCancel, mbHelp}, options), mrCancel);
        QVERIFY(openAfterHelp);
        QCOMPARE(help.size(), 1);
        QCOMPARE(help.first().first().toInt(), 42);
    }

    // Extra buttons follow the standard ones, named by their own left edge.
    void extraButtonsHaveDistinctNames()
    {
        TMessageDlgOptions options;
        options.ExtraButtons = {{QStringLiteral("Opslaan"), 100}, {QStringLiteral("Niet opslaan"), 101}};
        QStringList names;
        QList<int> lefts;
        answerNext([&](QWidget *dialog) {
            names = buttonNames(dialog);
            for (const QString &name : std::as_const(names))
                lefts.append(dialog->findChild<TButton *>(name)->x());
            dialog->findChild<TButton *>(names.last())->click();
        });
        QCOMPARE(WWMessageDlg(QStringLiteral("Wijzigingen bewaren?"), mtConfirmation, {mbCancel}, options), 101);
        QCOMPARE(names, QStringList({"Cancel", QStringLiteral("ExtraButton%1").arg(lefts[1]),
                                     QStringLiteral("ExtraButton%1").arg(lefts[2])}));
        QVERIFY(lefts[1] != lefts[2]);
    }

    void longMessageWrapsAtHalfTheScreen()
    {
        const int halfScreen = QGuiApplication::primaryScreen()->geometry().width() / 2;
        const QString message = QStringLiteral("Deze toespraak is lang genoeg om te worden afgebroken. ").repeated(12);
        QRect label;
        int lineHeight = 0;
        answerNext([&](QWidget *dialog) {
            label = dialog->findChild<QLabel *>(QStringLiteral("Message"))->geometry();
            lineHeight = dialog->fontMetrics().height();
            pressKey(dialog, Qt::Key_Enter);
        });
        QCOMPARE(Information(message), mrOk);
        QVERIFY(label.width() <= halfScreen);
        QVERIFY(label.width() > halfScreen / 2);
        QVERIFY(label.height() >= 3 * lineHeight);
    }

    // A caption changed after a kind was first shown keeps that kind's measured width.
    void buttonWidthIsMeasuredOnce()
    {
        const QString before = ButtonCaptions[mbRetry];
        const auto retryWidth = [] {
            int width = 0;
            answerNext([&width](QWidget *dialog) {
                width = dialog->findChild<TButton *>(QStringLiteral("Retry"))->width();
                dialog->findChild<TButton *>(QStringLiteral("Retry"))->click();
            });
            [[maybe_unused]] const int answer = WWMessageDlg(QStringLiteral("Nog eens?"), mtError, {mbRetry}, 0);
            return width;
        };
        ButtonWidthCache[mbRetry] = 0;
        const int measured = retryWidth();
        const int cached = ButtonWidthCache[mbRetry];
        QVERIFY(cached > 0);
        ButtonCaptions[mbRetry] = QStringLiteral("Probeer het nog een keer opnieuw");
        const int afterChange = retryWidth();
        QCOMPARE(ButtonWidthCache[mbRetry], cached);
        ButtonWidthCache[mbRetry] = 0; // only a cleared cache measures the new caption
        const int remeasured = retryWidth();
        ButtonCaptions[mbRetry] = before;
        ButtonWidthCache[mbRetry] = 0;
        QCOMPARE(afterChange, measured);
        QVERIFY(remeasured > measured);
    }

    void closeBoxRefusesToClose()
    {
        bool hasCloseBox = true;
        bool closed = true;
        bool windowClosed = true;
        answerNext([&](QWidget *dialog) {
            hasCloseBox = dialog->windowFlags() & Qt::WindowCloseButtonHint;
            closed = dialog->close();
            windowClosed = dialog->windowHandle()->close(); // Alt+F4 from the window manager
            pressKey(dialog, Qt::Key_Escape);
        });
        QCOMPARE(YesNo(QStringLiteral("Verwijderen?")), mrNo);
        QVERIFY(!hasCloseBox);
        QVERIFY(!closed);
        QVERIFY(!windowClosed);
    }

    // A dialog without a button that closes it would have no way out: it gets an OK button.
    void dialogWithoutWayOutGetsOk_data()
    {
        QTest::addColumn<quint16>("buttons");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no buttons") << quint16(0) << QStringList{"OK"};
        QTest::newRow("only Help") << TMsgDlgButtons{mbHelp}.bits() << QStringList{"OK", "Help"};
    }

    void dialogWithoutWayOutGetsOk()
    {
        QFETCH(quint16, buttons);
        QFETCH(QStringList, expected);
        QStringList names;
        answerNext([&names](QWidget *dialog) {
            names = buttonNames(dialog);
            pressKey(dialog, Qt::Key_Escape);
        });
        QCOMPARE(WWMessageDlg(QString(), mtWarning, TMsgDlgButtons::fromBits(buttons), 0), mrOk);
        QCOMPARE(names, expected);
    }

    // The places of icon, message and buttons, in dialog units of the form's font.
    void layoutFollowsDialogUnits()
    {
        // One line, wider than the row of buttons.
        const auto form = CreateMessageForm(QStringLiteral("Deze regel is breder dan de twee knoppen"), mtWarning,
                                            {mbYes, mbNo}, {}, false, QString());
        const Units units(form->font());
        const int horizontalMargin = MulDiv(8, units.x, 4);
        const int verticalMargin = MulDiv(8, units.y, 8);
        const int buttonHeight = MulDiv(14, units.y, 8);
        const int buttonSpacing = MulDiv(4, units.x, 4);
        const int verticalSpacing = MulDiv(10, units.y, 8);
        const int textHeight = form->findChild<QLabel *>(QStringLiteral("Message"))->height();
        QVERIFY(textHeight < 32);

        QCOMPARE(form->findChild<QLabel *>(QStringLiteral("Image"))->geometry(),
                 QRect(horizontalMargin, verticalMargin, 32, 32));
        QCOMPARE(form->findChild<QLabel *>(QStringLiteral("Message"))->pos(),
                 QPoint(horizontalMargin + 32 + MulDiv(10, units.x, 4), verticalMargin));
        const TButton *yes = form->findChild<TButton *>(QStringLiteral("Yes"));
        const TButton *no = form->findChild<TButton *>(QStringLiteral("No"));
        // The buttons sit below the icon, not below the one line of text.
        QCOMPARE(yes->y(), 32 + verticalMargin + verticalSpacing);
        QCOMPARE(yes->height(), buttonHeight);
        QVERIFY(yes->width() >= MulDiv(50, units.x, 4));
        QCOMPARE(no->width(), yes->width());
        QCOMPARE(no->x() - yes->x(), yes->width() + buttonSpacing);
        QCOMPARE(form->height(), 32 + buttonHeight + verticalSpacing + 2 * verticalMargin);
        // The row is centred under the wider block of icon and text.
        QVERIFY(yes->x() > horizontalMargin);
        QCOMPARE(yes->x(), (form->width() - (no->x() + no->width() - yes->x())) / 2);
    }

    // Right to left, the message moves to the other side; the icon stays where it is.
    void rightToLeftMirrorsTheMessage()
    {
        QGuiApplication::setLayoutDirection(Qt::RightToLeft);
        const auto form = CreateMessageForm(QStringLiteral("Kort"), mtWarning, {mbOK}, {}, false, QString());
        QGuiApplication::setLayoutDirection(Qt::LeftToRight);
        const Units units(form->font());
        const int horizontalMargin = MulDiv(8, units.x, 4);
        const QLabel *message = form->findChild<QLabel *>(QStringLiteral("Message"));
        QCOMPARE(form->findChild<QLabel *>(QStringLiteral("Image"))->x(), horizontalMargin);
        QCOMPARE(message->x(), form->width() - (horizontalMargin + 32 + MulDiv(10, units.x, 4)) - message->width());
    }

    void shortcuts_data()
    {
        QTest::addColumn<std::function<int()>>("call");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("enter");
        const QString message = QStringLiteral("Bericht");
        const QStringList ok{"OK"};
        QTest::newRow("Warning") << std::function<int()>([=] { return Warning(message); }) << "Waarschuwing"
                                 << ok << ok << "OK" << mrOk;
        QTest::newRow("Error") << std::function<int()>([=] { return Error(message); }) << "Fout"
                               << ok << ok << "OK" << mrOk;
        QTest::newRow("Information") << std::function<int()>([=] { return Information(message); }) << "Informatie"
                                     << ok << ok << "OK" << mrOk;
        QTest::newRow("YesNo") << std::function<int()>([=] { return YesNo(message, false, false); }) << "Bevestigen"
                               << QStringList{"Yes", "No"} << QStringList{"Ja", "Nee"} << "Yes" << mrYes;
        QTest::newRow("YesNo with Cancel, focus negative")
            << std::function<int()>([=] { return YesNo(message, true, true); }) << "Bevestigen"
            << QStringList{"Yes", "No", "Cancel"} << QStringList{"Ja", "Nee", "Annuleren"} << "No" << mrNo;
        QTest::newRow("OkCancel, focus negative") << std::function<int()>([=] { return OkCancel(message, true); })
                                                  << "Bevestigen" << QStringList{"OK", "Cancel"}
                                                  << QStringList{"OK", "Annuleren"} << "Cancel" << mrCancel;
        QTest::newRow("empty message") << std::function<int()>([] { return Warning(QString()); }) << "Waarschuwing"
                                       << ok << ok << "OK" << mrOk;
    }

    void shortcuts()
    {
        QFETCH(std::function<int()>, call);
        QFETCH(QString, title);
        QFETCH(QStringList, buttons);
        QFETCH(QStringList, captions);
        QFETCH(QString, focus);
        QFETCH(int, enter);
        Seen seen;
        answerNext([&seen](QWidget *dialog) {
            [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(dialog);
            seen = look(dialog);
            pressKey(dialog, Qt::Key_Enter);
        });
        QCOMPARE(call(), enter);
        QCOMPARE(seen.title, title);
        QVERIFY(seen.icon);
        QCOMPARE(seen.buttons, buttons);
        QCOMPARE(seen.captions, captions);
        QCOMPARE(seen.focus, focus);
        QCOMPARE(seen.helpContext, 0);
    }

    // A message box that the request to end the program closes answers Cancel.
    void terminateRequestAnswersCancel()
    {
        answerNext([](QWidget *) { TApplication::instance()->terminate(); });
        QCOMPARE(YesNo(QStringLiteral("Opslaan?"), true), mrCancel);
    }

    // Tabs are measured expanded; without an icon a short message starts at the left margin.
    void messageIsMeasuredAsShown()
    {
        const auto tabbed = CreateMessageForm(QStringLiteral("a\tb"), mtWarning, {mbOK}, {}, false, QString());
        const auto spaced = CreateMessageForm(QStringLiteral("a b"), mtWarning, {mbOK}, {}, false, QString());
        const int tabbedWidth = tabbed->findChild<QLabel *>(QStringLiteral("Message"))->width();
        const int spacedWidth = spaced->findChild<QLabel *>(QStringLiteral("Message"))->width();
        QVERIFY2(tabbedWidth > spacedWidth + QFontMetrics(tabbed->font()).horizontalAdvance(QStringLiteral("    ")),
                 qPrintable(QStringLiteral("%1 against %2").arg(tabbedWidth).arg(spacedWidth)));

        const auto custom = CreateMessageForm(QStringLiteral("Kort"), mtCustom, {mbOK, mbCancel}, {}, false, QString());
        const Units units(custom->font());
        QCOMPARE(custom->findChild<QLabel *>(QStringLiteral("Message"))->x(), MulDiv(8, units.x, 4));
    }

    // Callers' tests answer without a modal loop.
    void answerSeamSkipsTheDialog()
    {
        // Were a dialog shown after all, this ends it instead of waiting for ever.
        QTimer rescue;
        connect(&rescue, &QTimer::timeout, [] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                dialog->done(-99);
        });
        rescue.start(2000);
        QString message;
        setMessageFormAnswer([&message](TMessageForm &form) {
            message = form.findChild<QLabel *>(QStringLiteral("Message"))->text();
            return mrYes;
        });
        QCOMPARE(YesNo(QStringLiteral("Taal verwijderen?"), false, true), mrYes);
        QCOMPARE(message, QStringLiteral("Taal verwijderen?"));
        QVERIFY(!QApplication::activeModalWidget());
    }

    // Runs last: the unit's exit releases its texts, and only on the last exit.
    void exitReleasesTheTexts()
    {
        WwmsgdlgStartup();
        WwmsgdlgStartup();
        WwmsgdlgExit();
        QCOMPARE(Captions[mtError], QStringLiteral("Fout"));
        QCOMPARE(ButtonCaptions[mbNo], QStringLiteral("Nee"));
        WwmsgdlgExit();
        QCOMPARE(Captions, (std::array<QString, MsgDlgTypeCount>{}));
        QCOMPARE(ButtonCaptions, (std::array<QString, MsgDlgBtnCount>{}));
        const auto form = CreateMessageForm(QString(), mtWarning, {mbOK}, {}, false, QString());
        QVERIFY(!form->findChild<TButton *>(QStringLiteral("OK")));
    }
};

TINLARK_TEST_MAIN(tst_Wwmsgdlg)
#include "tst_Wwmsgdlg.moc"
