// tinlark-makedb as a user runs it: its help and version, and sample databases whose
// speeches are written in the language they are filed under.

#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
};

Run makeDb(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(TINLARK_MAKEDB_EXE), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput()};
}

// Everyday words of each language, enough to tell a short letter's language by which of
// them it uses most: pronouns, little words, thanks and greetings.
const QHash<QString, QStringList> &commonWords()
{
    static const QHash<QString, QStringList> words = {
        {QStringLiteral("English"), {"the", "you", "your", "we", "will", "please", "thank", "and", "our", "to", "for", "regards"}},
        {QStringLiteral("Nederlands"), {"de", "het", "een", "uw", "wij", "voor", "dank", "niet", "ik", "op", "kunt", "met", "groet"}},
        {QStringLiteral("Deutsch"), {"der", "die", "das", "und", "sie", "ihre", "wir", "nicht", "bitte", "dank", "für", "mit", "grüßen"}},
        {QStringLiteral("Français"), {"le", "la", "les", "vous", "votre", "nous", "pour", "merci", "et", "de", "à", "cordialement"}},
        {QStringLiteral("Русский"), {"мы", "вы", "ваш", "ваше", "спасибо", "уважением", "пожалуйста", "что", "не", "его", "в", "с"}},
        {QStringLiteral("Español"), {"el", "la", "los", "las", "su", "por", "favor", "gracias", "que", "de", "en", "le", "atentamente"}},
        {QStringLiteral("Italiano"), {"il", "lo", "la", "di", "che", "per", "grazie", "suo", "mi", "con", "saluti", "entro"}},
        {QStringLiteral("Português"), {"o", "a", "os", "de", "que", "obrigado", "sua", "seu", "por", "favor", "com", "pela", "cumprimentos"}},
        {QStringLiteral("Svenska"), {"och", "är", "för", "att", "inte", "tack", "du", "ditt", "dig", "vi", "med", "vänliga", "hälsningar"}},
        {QStringLiteral("Norsk"), {"og", "er", "for", "ikke", "takk", "du", "din", "deg", "vi", "med", "vennlig", "hilsen", "jeg"}},
        {QStringLiteral("Dansk"), {"og", "er", "for", "ikke", "tak", "du", "din", "dig", "vi", "med", "venlig", "hilsen", "jeg"}},
        {QStringLiteral("Suomi"), {"ja", "on", "ei", "kiitos", "te", "teille", "olemme", "että", "terveisin", "jos"}},
        {QStringLiteral("Polski"), {"i", "w", "z", "za", "nie", "się", "że", "jest", "dziękujemy", "prosimy", "poważaniem", "proszę"}},
        {QStringLiteral("Čeština"), {"a", "v", "s", "za", "ne", "se", "že", "je", "děkujeme", "prosíme", "pozdravem", "prosím", "vám"}},
        {QStringLiteral("Magyar"), {"a", "az", "és", "hogy", "nem", "köszönjük", "kérjük", "kérem", "üdvözlettel", "belül"}},
        {QStringLiteral("Українська"), {"ми", "ви", "ваш", "ваше", "дякуємо", "повагою", "будь", "ласка", "що", "не", "його", "і", "й", "з"}},
        {QStringLiteral("Ελληνικά"), {"και", "το", "τη", "την", "σας", "μας", "για", "να", "θα", "ευχαριστούμε", "παρακαλώ", "εκτίμηση"}},
        {QStringLiteral("Türkçe"), {"ve", "bir", "bu", "için", "lütfen", "teşekkür", "ederiz", "size", "değil", "iş", "ile"}},
        {QStringLiteral("Română"), {"și", "de", "la", "în", "vă", "pentru", "mulțumim", "rugăm", "stimă", "cu", "că", "nu"}},
        {QStringLiteral("Hrvatski"), {"i", "u", "na", "je", "da", "ne", "vam", "hvala", "molimo", "pozdrav", "srdačan", "od"}},
    };
    return words;
}

// The language whose everyday words the text uses most; empty when two tie.
QString languageOf(const QString &text)
{
    const QStringList tokens = text.toLower().split(QRegularExpression(QStringLiteral("[^\\p{L}]+")), Qt::SkipEmptyParts);
    QString best;
    int bestHits = 0;
    bool tie = false;
    for (auto it = commonWords().cbegin(); it != commonWords().cend(); ++it) {
        const QSet<QString> words(it.value().cbegin(), it.value().cend());
        const int hits = int(std::count_if(tokens.cbegin(), tokens.cend(), [&](const QString &t) { return words.contains(t); }));
        if (hits > bestHits) {
            best = it.key();
            bestHits = hits;
            tie = false;
        } else if (hits == bestHits) {
            tie = true;
        }
    }
    return tie ? QString() : best;
}

} // namespace

class tst_MakeDb : public QObject
{
    Q_OBJECT

private slots:
    void helpAndVersionSucceed_data();
    void helpAndVersionSucceed();
    void speechesAreFiledUnderTheLanguageTheyAreWrittenIn_data();
    void speechesAreFiledUnderTheLanguageTheyAreWrittenIn();
};

void tst_MakeDb::helpAndVersionSucceed_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("expected");
    QTest::newRow("help") << QStringLiteral("--help") << QStringLiteral("usage: tinlark-makedb");
    QTest::newRow("version") << QStringLiteral("--version") << QStringLiteral("tinlark-makedb " TINLARK_VERSION "\n");
}

void tst_MakeDb::helpAndVersionSucceed()
{
    QFETCH(QString, option);
    QFETCH(QString, expected);
    const Run run = makeDb({option});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(QString::fromUtf8(run.out).startsWith(expected), run.out.constData());
}

void tst_MakeDb::speechesAreFiledUnderTheLanguageTheyAreWrittenIn_data()
{
    QTest::addColumn<int>("languages");
    for (int languages = 1; languages <= 20; ++languages)
        QTest::addRow("%d", languages) << languages;
}

void tst_MakeDb::speechesAreFiledUnderTheLanguageTheyAreWrittenIn()
{
    QFETCH(int, languages);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sample.csp"));
    // Enough speeches that every language shows each of its kinds of reply and a few again.
    const int speeches = languages * 8;
    QCOMPARE(makeDb({QStringLiteral("--sample"), QString::number(speeches), QStringLiteral("--languages"),
                     QString::number(languages), path})
                 .exitCode,
             0);

    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt *rows = nullptr;
    QCOMPARE(sqlite3_prepare_v2(db, "SELECT Taal.Taal, Speeches.Tekst FROM Speeches JOIN Taal ON Taal.ID = Speeches.TaalID",
                                -1, &rows, nullptr),
             SQLITE_OK);
    int checked = 0;
    QSet<QString> filedUnder;
    QString mismatch;
    while (sqlite3_step(rows) == SQLITE_ROW) {
        const QString language = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(rows, 0)));
        const QString text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(rows, 1)));
        filedUnder.insert(language);
        ++checked;
        if (mismatch.isEmpty() && languageOf(text) != language)
            mismatch = QStringLiteral("filed under %1, reads as '%2': %3").arg(language, languageOf(text), text);
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    QCOMPARE(checked, speeches);
    QCOMPARE(filedUnder.size(), languages);
}

QTEST_GUILESS_MAIN(tst_MakeDb)
#include "tst_MakeDb.moc"
