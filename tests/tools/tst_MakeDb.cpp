// tinlark-makedb as a user runs it: its help and version, sample databases whose speeches
// are written in the language they are filed under, the tables it lays into a server
// database and the libraries it copies between files and servers.

#include "Database.h"
#include "PostgresServer.h"
#include "Statement.h"

#include <QDate>
#include <QDir>
#include <QFile>
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
    QByteArray err;
};

Run makeDb(const QStringList &arguments, const QString &workingDirectory = QString())
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(TINLARK_MAKEDB_EXE), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
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

void execute(sqlite3 *db, const char *sql, const QVariantList &values = {})
{
    sqlite3_stmt *statement = nullptr;
    QCOMPARE(sqlite3_prepare_v2(db, sql, -1, &statement, nullptr), SQLITE_OK);
    for (int i = 0; i < values.size(); ++i) {
        const QByteArray text = values[i].toString().toUtf8();
        if (values[i].isNull())
            sqlite3_bind_null(statement, i + 1);
        else
            sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    QCOMPARE(sqlite3_step(statement), SQLITE_DONE);
    sqlite3_finalize(statement);
}

// Every row of both tables, each value with its type, so that NULL and empty text differ.
QStringList contentsOf(const QString &dataSource)
{
    const std::unique_ptr<Database> db = openDatabase(dataSource, nullptr);
    QStringList rows;
    for (const char *sql : {R"(SELECT "ID", "Taal" FROM "Taal" ORDER BY "ID")",
                            R"(SELECT "ID", "TaalID", "Keywords", "Tekst", "Comments" FROM "Speeches" ORDER BY "ID")",
                            R"(SELECT "SpeechID", "TaalID", "Keywords", "Tekst", "Comments", "Change", "ChangedAt", "ChangedBy")"
                            R"( FROM "SpeechHistory" ORDER BY "ID")",
                            R"(SELECT "SpeechID", "Copies", "LastCopied" FROM "SpeechCopies" ORDER BY "SpeechID")"}) {
        Statement select(db.get(), QString::fromLatin1(sql));
        while (select.step()) {
            QStringList values;
            for (int column = 0; column < select.columnCount(); ++column) {
                const QVariant value = select.columnValue(column);
                values.append(value.isNull() ? QStringLiteral("NULL") : QString::fromLatin1(value.typeName()) + u':' + value.toString());
            }
            rows.append(values.join(u'|'));
        }
    }
    return rows;
}

qint64 scalar(const QString &dataSource, const QString &sql)
{
    const std::unique_ptr<Database> db = openDatabase(dataSource, nullptr);
    Statement select(db.get(), sql);
    return select.step() ? select.columnInt64(0) : -1;
}

QByteArray contentsOfFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    void badUsageExitsWith2_data();
    void badUsageExitsWith2();
    void serverTablesAreMadeOnce();
    void copiesKeepEveryValueAndId_data();
    void copiesKeepEveryValueAndId();
    void nonEmptyTargetIsRefused_data();
    void nonEmptyTargetIsRefused();
    void failedCopyLeavesTargetAsItWas_data();
    void failedCopyLeavesTargetAsItWas();
    void exportsAndImportsWithCounts();
    void passwordIsNeverPrinted_data();
    void passwordIsNeverPrinted();
    void backupNamesTheFileItMade();

private:
    // A new database on the throwaway server; skips the test when no server can run here.
    QString serverDatabase(const QString &name);
    // A sample library with rows a copy could spoil: NULL and empty values, long text, quotes.
    QString sampleLibrary(const QString &path);

    std::unique_ptr<PostgresServer> m_server;
    QTemporaryDir m_dir;
};

void tst_MakeDb::helpAndVersionSucceed_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("said"); // how the output starts; %1 is the folder it ran in
    QTest::addColumn<QString>("made"); // the one file it made, if any
    for (const char *help : {"--help", "-h", "help"})
        QTest::newRow(help) << QStringList{help} << "usage: tinlark-makedb" << QString();
    for (const char *version : {"--version", "-V"})
        QTest::newRow(version) << QStringList{version} << "tinlark-makedb " TINLARK_VERSION "\n" << QString();
    QTest::newRow("empty") << QStringList{"empty.csp"} << "Made the empty speech database %1/empty.csp\n" << "empty.csp";
    QTest::newRow("a file named -h") << QStringList{"--", "-h"} << "Made the empty speech database %1/-h\n" << "-h";
    QTest::newRow("one of each") << QStringList{"--sample", "1", "--languages", "1", "one.csp"}
                                 << "Made the speech database %1/one.csp with 1 sample speech in 1 language\n" << "one.csp";
    QTest::newRow("languages by default") << QStringList{"--sample=40", "many.csp"}
                                          << "Made the speech database %1/many.csp with 40 sample speeches in 20 languages\n"
                                          << "many.csp";
}

// Help and version make no file of the option's name; a database made is named with its place.
void tst_MakeDb::helpAndVersionSucceed()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    QFETCH(QString, made);
    QTemporaryDir dir;
    const Run run = makeDb(arguments, dir.path());
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(QString::fromUtf8(run.out).startsWith(said.arg(dir.path())), run.out.constData());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), made.isEmpty() ? QStringList() : QStringList{made});
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

QString tst_MakeDb::serverDatabase(const QString &name)
{
    if (const QString missing = PostgresServer::missingReason(); !missing.isEmpty())
        return QString();
    if (!m_server) {
        m_server = std::make_unique<PostgresServer>();
        if (!m_server->start())
            qFatal("%s", qPrintable(m_server->error()));
    }
    return m_server->createDatabase(name);
}

QString tst_MakeDb::sampleLibrary(const QString &path)
{
    if (makeDb({QStringLiteral("--sample"), QStringLiteral("200"), QStringLiteral("--languages"), QStringLiteral("3"), path}).exitCode != 0)
        return QString();
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    execute(db, "INSERT INTO Taal (Taal) VALUES (?)", {QStringLiteral("Čeština 'a' \"b\"")});
    execute(db, "INSERT INTO Taal (Taal) VALUES (?)", {QString(QLatin1String(""))});
    const char *const addSpeech = "INSERT INTO Speeches (TaalID, Keywords, Tekst, Comments) VALUES (?, ?, ?, ?)";
    execute(db, addSpeech, {4, QStringLiteral("Čeština"), QStringLiteral("Dobrý den, 'vážení' \"přátelé\""), QVariant()});
    execute(db, addSpeech, {4, QVariant(), QString(QLatin1String("")), QString(QLatin1String(""))});
    execute(db, addSpeech, {QVariant(), QStringLiteral("long"), QString(100000, QLatin1Char('x')), QStringLiteral("\\ %_ ?")});
    // The highest ID given out so far is gone; a file copied from this one never gives it again.
    execute(db, "INSERT INTO Speeches (Tekst) VALUES ('deleted')");
    execute(db, "DELETE FROM Speeches WHERE Tekst = 'deleted'");
    // Versions kept of a speech changed twice, and one speech copied three times.
    execute(db, "UPDATE Speeches SET Tekst = 'first edit' WHERE ID = 2");
    execute(db, "UPDATE Speeches SET Comments = 'second edit', Tekst = NULL WHERE ID = 2");
    execute(db, "INSERT INTO SpeechCopies (SpeechID, Copies, LastCopied) VALUES (3, 3, '2026-12-01 10:00:00.000')");
    sqlite3_close(db);
    return path;
}

void tst_MakeDb::badUsageExitsWith2_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message"); // what the one line says
    const auto row = [](const char *name, std::initializer_list<const char *> arguments, const char *message) {
        QStringList list;
        for (const char *argument : arguments)
            list.append(QString::fromUtf8(argument));
        QTest::newRow(name) << list << QString::fromUtf8(message);
    };
    row("unknown long", {"--frobnicate", "a.csp"}, "unknown option '--frobnicate'");
    row("unknown short", {"-x", "a.csp"}, "unknown option '-x'");
    row("two unknown", {"--sample", "3", "-q", "--zap=1", "a.csp"}, "unknown options '-q', '--zap'");
    row("unknown after the file", {"a.csp", "--hepl"}, "unknown option '--hepl'");
    row("too many languages", {"--sample", "10", "--languages", "25", "a.csp"},
        "--languages takes a number of languages from 1 to 20, not '25'");
    row("no languages", {"--sample", "10", "--languages", "0", "a.csp"}, "from 1 to 20, not '0'");
    row("speeches not a number", {"--sample", "ten", "a.csp"}, "--sample takes a number of speeches from 0 to 2147483647, not 'ten'");
    row("speeches below zero", {"--sample", "-5", "a.csp"}, "from 0 to 2147483647, not '-5'");
    row("speeches beyond int", {"--sample", "2147483648", "a.csp"}, "not '2147483648'");
    row("languages alone", {"--languages", "3", "a.csp"}, "--languages needs --sample");
    row("value missing", {"a.csp", "--sample"}, "missing value after '--sample'");
    row("no file", {"--sample", "3"}, "give one database FILE to make (0 given)");
    row("two files", {"a.csp", "b.csp"}, "give one database FILE to make (2 given)");
    row("two actions", {"--copy", "--server", "a.csp", "b.csp"}, "--server and --copy cannot be used together");
    row("samples with a copy", {"--copy", "--sample", "3", "a.csp", "b.csp"}, "--sample cannot be used with --copy");
    row("server without URI", {"--server"}, "--server takes one PostgreSQL database URI (0 given)");
    row("server with a file", {"--server", "a.csp"}, "--server takes a PostgreSQL connection URI");
    row("copy without target", {"--copy", "a.csp"}, "--copy takes two databases, FROM and TO (1 given)");
    row("conversion without target", {"--from-jet", "old.mdb"}, "--from-jet takes two databases, OLD and NEW (1 given)");
    row("a server where a file is wanted", {"host=x password='two words'"}, "reads like a server's connection string");
    row("a server URI where a file is wanted", {"postgresql://anna:secretpw@db/speeches"}, "make a server library's tables");
    row("backup without a folder", {"--backup", "a.csp"}, "--backup takes a database FILE and a folder DIR (1 given)");
    row("backup of a server", {"--backup", "postgresql://anna@db/speeches", "saved"}, "back up a server library with pg_dump");
    row("export without OUT", {"--export", "a.csp"}, "--export takes a database FILE and the file OUT (1 given)");
    row("import of an unknown format", {"--import", "in.txt", "a.csp"}, "cannot tell the format of IN from its name");
    row("format unknown", {"--export", "--format", "xml", "a.csp", "out"}, "--format takes csv or json, not 'xml'");
    row("language on import", {"--import", "--language", "x", "in.csv", "a.csp"}, "--language works only with --export");
    row("spreadsheet-safe import", {"--import", "--spreadsheet-safe", "in.csv", "a.csp"},
        "--spreadsheet-safe works only with --export");
    row("spreadsheet-safe JSON", {"--export", "--spreadsheet-safe", "a.csp", "out.json"},
        "--spreadsheet-safe works only with CSV");
}

// One line that names what is wrong, and nothing made.
void tst_MakeDb::badUsageExitsWith2()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const Run run = makeDb(arguments, dir.path());
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.startsWith("tinlark-makedb: ") && run.err.contains(message.toUtf8()), run.err.constData());
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY2(!run.err.contains("secretpw") && !run.err.contains("two words"), run.err.constData());
    QVERIFY(run.out.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

// The wiring of --export and --import; what they keep and refuse is tested with the library.
void tst_MakeDb::exportsAndImportsWithCounts()
{
    QTemporaryDir dir;
    QCOMPARE(makeDb({"--sample", "5", "--languages", "2", "from.csp"}, dir.path()).exitCode, 0);
    QCOMPARE(makeDb({"to.csp"}, dir.path()).exitCode, 0);
    const Run exported = makeDb({"--export", "from.csp", "speeches.json"}, dir.path());
    QCOMPARE(exported.out, QByteArray("Exported 5 speeches into speeches.json\n"));
    QCOMPARE(makeDb({"--export", "from.csp", "speeches.json"}, dir.path()).exitCode, 1); // never overwritten
    QCOMPARE(makeDb({"--export", "--spreadsheet-safe", "from.csp", "safe.csv"}, dir.path()).exitCode, 0);
    QFile safe(dir.filePath(QStringLiteral("safe.csv")));
    QVERIFY(safe.open(QIODevice::ReadOnly));
    QVERIFY(safe.readLine().endsWith(",SpreadsheetSafe\r\n"));
    const QByteArray preview = makeDb({"--import", "--preview", "speeches.json", "to.csp"}, dir.path()).out;
    QCOMPARE(preview, "Would import 5 new speeches and 2 new languages; 0 speeches were already there; nothing was stored\n");
    const Run imported = makeDb({"--import", "--format=JSON", "speeches.json", "to.csp"}, dir.path());
    const QStringList said = QString::fromUtf8(imported.out).split(QLatin1Char('\n'));
    QVERIFY2(said.value(0).startsWith(QStringLiteral("Backed up to.csp into "))
                 && said.value(0).contains(QStringLiteral("/backups/to-")), imported.out.constData());
    QCOMPARE(said.value(1), QStringLiteral("Imported 5 new speeches and 2 new languages; 0 speeches were already there"));
    QCOMPARE(QDir(dir.filePath(QStringLiteral("backups"))).entryList(QDir::Files).size(), 1); // the library before the import
    QFile bad(dir.filePath(QStringLiteral("bad.csv")));
    QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("Language,Keywords,Text\n") > 0);
    bad.close();
    const Run refused = makeDb({"--import", "bad.csv", "to.csp"}, dir.path());
    QCOMPARE(refused.exitCode, 1);
    QCOMPARE(refused.err, "tinlark-makedb: bad.csv, line 1: the header has no column Comments (it needs "
                          "Language,Keywords,Text,Comments); nothing was imported\n");
    QCOMPARE(makeDb({"--import", "missing.csv", "to.csp"}, dir.path()).err,
             "tinlark-makedb: missing.csv, cannot be read: No such file or directory; nothing was imported\n");
    const Run again = makeDb({"--import", "speeches.json", "to.csp"}, dir.path());
    QCOMPARE(again.out, "Imported 0 new speeches and 0 new languages; 5 speeches were already there; nothing was stored\n");
    // Neither a refused import nor one that adds nothing makes a backup.
    QCOMPARE(QDir(dir.filePath(QStringLiteral("backups"))).entryList(QDir::Files).size(), 1);
}

void tst_MakeDb::serverTablesAreMadeOnce()
{
    const QString server = serverDatabase(QStringLiteral("made"));
    if (server.isEmpty())
        QSKIP(qPrintable(PostgresServer::missingReason()));
    const Run first = makeDb({QStringLiteral("--server"), server});
    QCOMPARE(first.exitCode, 0);
    QVERIFY2(first.out.startsWith("Created the tables Taal and Speeches"), first.out.constData());
    QCOMPARE(scalar(server, QStringLiteral("SELECT count(*) FROM \"Taal\" JOIN \"Speeches\" ON true")), 0);

    const Run second = makeDb({QStringLiteral("--server"), server});
    QCOMPARE(second.exitCode, 1);
    QVERIFY2(second.err.contains("already has speech tables") && second.err.contains("made"), second.err.constData());
}

void tst_MakeDb::copiesKeepEveryValueAndId_data()
{
    QTest::addColumn<QStringList>("through");     // the targets copied into one after the other
    QTest::newRow("file to server to file") << QStringList{QStringLiteral("server"), QStringLiteral("file")};
    QTest::newRow("file to file") << QStringList{QStringLiteral("file")};
}

void tst_MakeDb::copiesKeepEveryValueAndId()
{
    QFETCH(QStringList, through);
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_');
    const QString source = sampleLibrary(m_dir.filePath(tag + QStringLiteral(".csp")));
    QVERIFY(!source.isEmpty());
    const QStringList original = contentsOf(source);
    QCOMPARE(original.size(), 5 + 203 + 3 + 1);
    QString from = source;
    for (int i = 0; i < through.size(); ++i) {
        const QString to = through[i] == QLatin1String("server") ? serverDatabase(tag.toLower())
                                                                  : m_dir.filePath(tag + QString::number(i) + QStringLiteral(".csp"));
        if (to.isEmpty())
            QSKIP(qPrintable(PostgresServer::missingReason()));
        const Run run = makeDb({QStringLiteral("--copy"), from, to});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QVERIFY2(run.out.startsWith("Copied 5 languages and 203 speeches with 3 kept versions into "), run.out.constData());
        QCOMPARE(contentsOf(to), original);
        from = to;
    }
    // New rows of the last copy follow the copied ones and never take the ID of the speech the
    // source deleted last.
    const qint64 highest = scalar(from, QStringLiteral("SELECT max(\"ID\") FROM \"Speeches\""));
    QCOMPARE(scalar(from, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = 'Speeches'")), highest + 1);
    QCOMPARE(scalar(from, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = 'Taal'")), 5);
}

void tst_MakeDb::nonEmptyTargetIsRefused_data()
{
    QTest::addColumn<QString>("rows"); // what the server target holds; empty: the target is a file
    QTest::newRow("existing file") << QString();
    QTest::newRow("server with a language") << QStringLiteral(R"(INSERT INTO "Taal" ("Taal") VALUES ('x'))");
    QTest::newRow("server with a speech") << QStringLiteral(R"(INSERT INTO "Speeches" ("Tekst") VALUES ('x'))");
}

void tst_MakeDb::nonEmptyTargetIsRefused()
{
    QFETCH(QString, rows);
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_');
    const QString source = m_dir.filePath(tag + QStringLiteral(".csp"));
    QCOMPARE(makeDb({QStringLiteral("--sample"), QStringLiteral("10"), source}).exitCode, 0);
    QString target = m_dir.filePath(tag + QStringLiteral("-target.csp"));
    if (rows.isEmpty()) {
        QCOMPARE(makeDb({target}).exitCode, 0);
    } else {
        target = serverDatabase(tag.toLower());
        if (target.isEmpty())
            QSKIP(qPrintable(PostgresServer::missingReason()));
        QCOMPARE(makeDb({QStringLiteral("--server"), target}).exitCode, 0);
        const std::unique_ptr<Database> db = openDatabase(target, nullptr);
        Statement(db.get(), rows).execute({});
    }
    const QStringList before = contentsOf(target);
    const QByteArray fileBefore = contentsOfFile(target);

    const Run run = makeDb({QStringLiteral("--copy"), source, target});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("it is left as it is"), run.err.constData());
    QCOMPARE(contentsOf(target), before);
    QCOMPARE(contentsOfFile(target), fileBefore);
}

void tst_MakeDb::failedCopyLeavesTargetAsItWas_data()
{
    QTest::addColumn<bool>("toServer");
    QTest::newRow("new file") << false;
    QTest::newRow("server") << true;
}

void tst_MakeDb::failedCopyLeavesTargetAsItWas()
{
    QFETCH(bool, toServer);
    // A library from elsewhere whose last speech's keywords are longer than a copy's tables take.
    const QString source = m_dir.filePath(QStringLiteral("too-long-%1.csp").arg(toServer));
    sqlite3 *db = nullptr;
    sqlite3_open_v2(source.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    execute(db, "CREATE TABLE Taal (ID INTEGER PRIMARY KEY AUTOINCREMENT, Taal VARCHAR(50))");
    execute(db, "CREATE TABLE Speeches (ID INTEGER PRIMARY KEY AUTOINCREMENT, TaalID INTEGER, Keywords VARCHAR(50), "
                "Tekst TEXT, Comments TEXT)");
    execute(db, "INSERT INTO Taal (Taal) VALUES ('English')");
    execute(db, "INSERT INTO Speeches (TaalID, Keywords) VALUES (1, 'short')");
    execute(db, "INSERT INTO Speeches (TaalID, Keywords) VALUES (1, ?)", {QString(51, QLatin1Char('k'))});
    sqlite3_close(db);

    QString target = m_dir.filePath(QStringLiteral("never-made.csp"));
    if (toServer) {
        target = serverDatabase(QStringLiteral("failed"));
        if (target.isEmpty())
            QSKIP(qPrintable(PostgresServer::missingReason()));
        QCOMPARE(makeDb({QStringLiteral("--server"), target}).exitCode, 0);
    }
    const Run run = makeDb({QStringLiteral("--copy"), source, target});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("with ID 2"), run.err.constData());
    if (toServer)
        QCOMPARE(contentsOf(target), QStringList());
    else
        QVERIFY(!QFile::exists(target));
}

void tst_MakeDb::passwordIsNeverPrinted_data()
{
    QTest::addColumn<QString>("database"); // made first unless empty
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("tables made") << QStringLiteral("secret") << QStringLiteral("--server") << 0;
    QTest::newRow("tables there") << QString() << QStringLiteral("--server") << 1;
    QTest::newRow("copied") << QString() << QStringLiteral("--copy") << 0;
    QTest::newRow("no such database") << QString() << QStringLiteral("--server") << 1;
}

void tst_MakeDb::passwordIsNeverPrinted()
{
    QFETCH(QString, database);
    QFETCH(QString, option);
    QFETCH(int, exitCode);
    if ((!database.isEmpty() && serverDatabase(database).isEmpty()) || !m_server)
        QSKIP(qPrintable(PostgresServer::missingReason()));
    const QString name = QString::fromLatin1(QTest::currentDataTag()) == QLatin1String("no such database") ? QStringLiteral("missing")
                                                                                                         : QStringLiteral("secret");
    const QString uri = QStringLiteral("postgresql://%1:Pa55w0rdXyz@/%2?host=%3").arg(PostgresServer::user(), name, m_server->socketFolder());
    QStringList arguments{option, uri};
    if (option == QLatin1String("--copy")) {
        arguments.insert(1, m_dir.filePath(QStringLiteral("secret.csp")));
        QCOMPARE(makeDb({QStringLiteral("--sample"), QStringLiteral("3"), arguments[1]}).exitCode, 0);
    }
    const Run run = makeDb(arguments);
    QVERIFY2(run.exitCode == exitCode, run.err.constData());
    QVERIFY2((run.out + run.err).contains(name.toUtf8()), run.out + run.err);
    QVERIFY2(!(run.out + run.err).contains("Pa55w0rd"), run.out + run.err);
}

// The backup made is named by the day; one more that day gets a name of its own and replaces
// the first in the rotation.
void tst_MakeDb::backupNamesTheFileItMade()
{
    QTemporaryDir dir;
    QCOMPARE(makeDb({QStringLiteral("--sample"), QStringLiteral("30"), QStringLiteral("lib.csp")}, dir.path()).exitCode, 0);
    const QString first = QStringLiteral("saved/lib-%1.csp").arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    const QStringList arguments{QStringLiteral("--backup"), QStringLiteral("lib.csp"), QStringLiteral("saved")};
    const Run missing = makeDb({QStringLiteral("--backup"), QStringLiteral("missing.csp"), QStringLiteral("saved")}, dir.path());
    QVERIFY2(missing.exitCode == 1 && missing.err.contains("missing.csp does not exist"), missing.err.constData());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("saved")))); // no empty folder left behind
    QCOMPARE(makeDb(arguments, dir.path()).out, QStringLiteral("Backed up lib.csp into %1\n").arg(first).toUtf8());
    QCOMPARE(contentsOf(dir.filePath(first)), contentsOf(dir.filePath(QStringLiteral("lib.csp"))));
    const Run second = makeDb(arguments, dir.path());
    const QStringList kept = QDir(dir.filePath(QStringLiteral("saved"))).entryList(QDir::Files);
    QVERIFY2(second.exitCode == 0 && kept.size() == 1 && second.out.contains("saved/" + kept[0].toUtf8()), second.out.constData());
    QVERIFY(kept[0] != QFileInfo(first).fileName());
    // A third that day (in another second) is the one kept, under the name it reported.
    const QTime secondBefore = QTime::currentTime();
    QTRY_VERIFY(QTime::currentTime().second() != secondBefore.second());
    const Run third = makeDb(arguments, dir.path());
    const QByteArray reported = third.out.mid(third.out.indexOf("saved/")).trimmed();
    QCOMPARE(QDir(dir.filePath(QStringLiteral("saved"))).entryList(QDir::Files), QStringList{QFileInfo(reported).fileName()});
}

QTEST_GUILESS_MAIN(tst_MakeDb)
#include "tst_MakeDb.moc"
