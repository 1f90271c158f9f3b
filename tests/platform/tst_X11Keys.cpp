// The picker's key of its own, as the settings file names it, and the terminals that paste
// with Ctrl+Shift+V.

#include "TestMain.h"
#include "X11Keys.h"

class tst_X11Keys : public QObject
{
    Q_OBJECT

private slots:
    void readsKeyTexts_data();
    void readsKeyTexts();
    void knowsTerminals();
};

// X's values, from its protocol: Shift 1, Control 4, Mod1 (Alt) 8, Mod4 (Super) 64.
void tst_X11Keys::readsKeyTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<qulonglong>("keysym");
    QTest::addColumn<uint>("modifiers");
    QTest::newRow("Ctrl+Alt+Space") << QStringLiteral("Ctrl+Alt+Space") << true << 0x20ull << 12u;
    QTest::newRow("any case and spaces") << QStringLiteral(" super + SHIFT+p ") << true << 0x70ull << 65u;
    QTest::newRow("a digit") << QStringLiteral("Meta+1") << true << 0x31ull << 64u;
    QTest::newRow("the plus key") << QStringLiteral("Ctrl++") << true << 0x2bull << 4u;
    QTest::newRow("a function key alone") << QStringLiteral("F12") << true << 0xffc9ull << 0u;
    QTest::newRow("the last function key") << QStringLiteral("Shift+F24") << true << 0xffd5ull << 1u;
    QTest::newRow("a named key") << QStringLiteral("Alt+PgDown") << true << 0xff56ull << 8u;
    QTest::newRow("empty") << QString() << false << 0ull << 0u;
    QTest::newRow("no key after the modifiers") << QStringLiteral("Ctrl+Alt+") << false << 0ull << 0u;
    QTest::newRow("only modifiers") << QStringLiteral("Ctrl+Alt") << false << 0ull << 0u;
    QTest::newRow("unknown key name") << QStringLiteral("Ctrl+Spacebar") << false << 0ull << 0u;
    QTest::newRow("unknown modifier") << QStringLiteral("Hyper+X") << false << 0ull << 0u;
    QTest::newRow("two keys") << QStringLiteral("Ctrl+A+B") << false << 0ull << 0u;
    QTest::newRow("a modifier twice") << QStringLiteral("Ctrl+Ctrl+X") << false << 0ull << 0u;
    QTest::newRow("F0") << QStringLiteral("Ctrl+F0") << false << 0ull << 0u;
    QTest::newRow("F25") << QStringLiteral("Ctrl+F25") << false << 0ull << 0u;
    QTest::newRow("a letter alone") << QStringLiteral("x") << false << 0ull << 0u;
    QTest::newRow("Shift is still typing") << QStringLiteral("Shift+Space") << false << 0ull << 0u;
    QTest::newRow("not Latin") << QStringLiteral("Ctrl+ß") << false << 0ull << 0u;
}

void tst_X11Keys::readsKeyTexts()
{
    QFETCH(QString, text);
    QFETCH(bool, taken);
    QFETCH(qulonglong, keysym);
    QFETCH(uint, modifiers);
    const std::optional<X11Key> key = parseX11Key(text);
    QCOMPARE(key.has_value(), taken);
    if (key) {
        QCOMPARE(qulonglong(key->keysym), keysym);
        QCOMPARE(key->modifiers, modifiers);
    }
}

void tst_X11Keys::knowsTerminals()
{
    // WM_CLASS names as the terminals set them, either half.
    for (const char *name : {"XTerm", "URxvt", "Gnome-terminal", "konsole", "Xfce4-terminal", "Alacritty", "kitty", "st-256color"})
        QVERIFY2(isTerminalClass(QString::fromLatin1(name)), name);
    for (const char *name : {"", "firefox", "Mail", "terminal-notes", "xterminal"})
        QVERIFY2(!isTerminalClass(QString::fromLatin1(name)), name);
}

TINLARK_TEST_MAIN(tst_X11Keys)
#include "tst_X11Keys.moc"
