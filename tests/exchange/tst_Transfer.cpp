// Export and import of speeches as CSV and JSON, on a file library and (as tst_Transfer_server)
// on a server library.

#include "Database.h"
#include "ETransferError.h"
#include "RecordReader.h"
#include "RecordWriter.h"
#include "SpeechExport.h"
#include "SpeechImport.h"
#include "Statement.h"
#include "TestDatabase.h"
#include "TestMain.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every language and speech of a library, IDs left out, in the order of their IDs; NULL as "NULL".
QStringList contentOf(Database &database)
{
    QStringList rows;
    Statement languages(&database, QStringLiteral(R"(SELECT "Taal" FROM "Taal" ORDER BY "ID")"));
    while (languages.step())
        rows.append(QStringLiteral("language ") + languages.columnValue(0).toString());
    Statement speeches(&database, QStringLiteral(R"(SELECT t."Taal", s."Keywords", s."Tekst", s."Comments" FROM "Speeches" AS s )"
                                                 R"(JOIN "Taal" AS t ON t."ID" = s."TaalID" ORDER BY s."ID")"));
    while (speeches.step()) {
        QStringList values;
        for (int column = 0; column < 4; ++column) {
            const QVariant value = speeches.columnValue(column);
            values.append(value.isNull() ? QStringLiteral("NULL") : value.toString());
        }
        rows.append(values.join(QLatin1Char('|')));
    }
    return rows;
}

SpeechImport::Counts import(Database &database, TransferFormat format, const QByteArray &content, SpeechImport::Mode mode)
{
    QBuffer buffer;
    buffer.setData(content);
    buffer.open(QIODevice::ReadOnly);
    return SpeechImport::run(database, *RecordReader::open(format, buffer), mode);
}

QByteArray exported(Database &database, TransferFormat format, const QString &language = QString(),
                    CsvCells cells = CsvCells::Exact)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    SpeechExport::write(database, *RecordWriter::open(format, buffer, cells), language);
    return buffer.data();
}

} // namespace

class tst_Transfer : public QObject
{
    Q_OBJECT

private slots:
    void roundTripKeepsEveryCharacter_data();
    void roundTripKeepsEveryCharacter();
    void csvCellsAsWritten_data();
    void csvCellsAsWritten();
    void previewCountsWhatTheImportStores();
    void badInputChangesNothing_data();
    void badInputChangesNothing();
    void exportWritesNothingThroughWhatIsThere_data();
    void exportWritesNothingThroughWhatIsThere();
};

void tst_Transfer::roundTripKeepsEveryCharacter_data()
{
    QTest::addColumn<TransferFormat>("format");
    QTest::addColumn<CsvCells>("cells");
    QTest::newRow("CSV") << TransferFormat::Csv << CsvCells::Exact;
    QTest::newRow("CSV, spreadsheet-safe") << TransferFormat::Csv << CsvCells::SpreadsheetSafe;
    QTest::newRow("JSON") << TransferFormat::Json << CsvCells::Exact;
}

void tst_Transfer::roundTripKeepsEveryCharacter()
{
    QFETCH(TransferFormat, format);
    QFETCH(CsvCells, cells);
    QTemporaryDir dir;
    TestDatabase from(dir.filePath(QStringLiteral("from.csp")));
    const int english = from.addLanguage(QStringLiteral("English"));
    const int greek = from.addLanguage(QStringLiteral("Ελληνικά, \"τα\""));
    from.addLanguage(QStringLiteral("日本語"));
    from.addSpeech(english, QStringLiteral("quote \"x\", comma"), QStringLiteral("line\r\nbreak\nlone\rcr\r\n"),
                   QStringLiteral("\"\"\",,"));
    from.addSpeech(greek, QString(50, QChar(0x00A0)), QStringLiteral("Καλημέρα \\ / \t tab"), QStringLiteral("\x1f lone\rCR"));
    const int japanese = from.addLanguage(QStringLiteral("\U0001F600 emoji"));
    from.addSpeech(japanese, QString::fromUcs4(std::u32string(50, U'\U0001F600').c_str(), 50),
                   QStringLiteral("Здравствуйте مرحبا שלום नमस्ते 你好 안녕하세요 ﻿BOM inside"), QStringLiteral(" "));
    from.addSpeech(english, QString(), QString(), QString());
    from.execute(QStringLiteral("INSERT INTO Speeches (TaalID, Keywords, Tekst, Comments) VALUES (%1, NULL, 'none', NULL)").arg(english));
    // Longer than the slices a file is read in, so that quotes and line ends fall on their edges.
    from.addSpeech(english, QStringLiteral("long"), QStringLiteral("\"\r\n,\\é").repeated(40000));
    // What a spreadsheet would run, and cells that already begin with the apostrophe it hides.
    from.addSpeech(english, QStringLiteral("=HYPERLINK(\"http://x.example\",\"y\")"),
                   QStringLiteral("+cmd|' /C calc'!A0\r\n@SUM(1+1)"), QStringLiteral("'=already quoted"));
    const int minus = from.addLanguage(QStringLiteral("-Minus"));
    from.addSpeech(minus, QStringLiteral("@SUM(A1)"), QStringLiteral("\tTab first"), QStringLiteral("\rCR first"));
    from.addSpeech(minus, QStringLiteral("''"), QStringLiteral("'tis"), QStringLiteral("-"));
    const std::unique_ptr<Database> source = openDatabase(from.dataSource(), nullptr);
    const QByteArray file = exported(*source, format, QString(), cells);

    TestDatabase to(dir.filePath(QStringLiteral("to.csp")));
    const std::unique_ptr<Database> target = openDatabase(to.dataSource(), nullptr);
    const SpeechImport::Counts first = import(*target, format, file, SpeechImport::Mode::Store);
    QCOMPARE(first.added, 9);
    QCOMPARE(first.languagesCreated, 4); // a language without speeches is not exported
    QStringList expected = contentOf(*source);
    expected.removeAll(QStringLiteral("language 日本語"));
    if (format == TransferFormat::Csv) // CSV has no NULL: an empty field is empty text
        expected.replaceInStrings(QStringLiteral("NULL"), QString());
    QCOMPARE(contentOf(*target), expected);
    // The same file again adds nothing, and one language comes out alone.
    const SpeechImport::Counts again = import(*target, format, file, SpeechImport::Mode::Store);
    QCOMPARE(again.added + again.languagesCreated, 0);
    QCOMPARE(again.skipped, 9);
    QVERIFY(exported(*target, format, QStringLiteral("ENGLISH")).count("English") == 5);
}

// A plain export writes every cell as the library holds it; a spreadsheet-safe one puts a ' before
// each cell a spreadsheet would run (or that begins with ' itself) and says so in its header.
void tst_Transfer::csvCellsAsWritten_data()
{
    QTest::addColumn<CsvCells>("cells");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("exact") << CsvCells::Exact
                           << QByteArray("\xEF\xBB\xBF" "Language,Keywords,Text,Comments\r\n"
                                         "=Lang,@SUM(A1),\"=HYPERLINK(\"\"http://x\"\")\",+1\r\n"
                                         "-English,'tis,\tTab,\"\rCR\"\r\n");
    QTest::newRow("spreadsheet-safe") << CsvCells::SpreadsheetSafe
                                      << QByteArray("\xEF\xBB\xBF" "Language,Keywords,Text,Comments,SpreadsheetSafe\r\n"
                                                    "'=Lang,'@SUM(A1),\"'=HYPERLINK(\"\"http://x\"\")\",'+1,\r\n"
                                                    "'-English,''tis,'\tTab,\"'\rCR\",\r\n");
}

void tst_Transfer::csvCellsAsWritten()
{
    QFETCH(CsvCells, cells);
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    TestDatabase library(dir.filePath(QStringLiteral("cells.csp")));
    library.addSpeech(library.addLanguage(QStringLiteral("=Lang")), QStringLiteral("@SUM(A1)"),
                      QStringLiteral("=HYPERLINK(\"http://x\")"), QStringLiteral("+1"));
    library.addSpeech(library.addLanguage(QStringLiteral("-English")), QStringLiteral("'tis"), QStringLiteral("\tTab"),
                      QStringLiteral("\rCR"));
    const std::unique_ptr<Database> database = openDatabase(library.dataSource(), nullptr);
    QCOMPARE(exported(*database, TransferFormat::Csv, QString(), cells), file);
}

void tst_Transfer::previewCountsWhatTheImportStores()
{
    QTemporaryDir dir;
    TestDatabase library(dir.filePath(QStringLiteral("library.csp")));
    // Case folding, not lower case: final sigma is sigma.
    const int greek = library.addLanguage(QStringLiteral("ΕΛΛΗΝΙΚΌΣ"));
    library.execute(QStringLiteral("INSERT INTO Speeches (TaalID, Keywords, Tekst, Comments) VALUES (%1, 'kw', 'text', NULL)").arg(greek));
    const std::unique_ptr<Database> database = openDatabase(library.dataSource(), nullptr);
    const QByteArray file = "Text,Language,Keywords,Comments,Extra\n"
                            "text,ελληνικός,kw,,x\n"     // there already, an empty comment as none
                            "text,ελληνικός,kw,note,x\n" // new: another comment
                            "a,Deutsch,k,c,x\n"         // a new language
                            "a,DEUTSCH,k,c,x\n"         // the line before, again
                            "\n"
                            "b,deutsch,k,c,x";
    const QStringList before = contentOf(*database);
    const SpeechImport::Counts preview = import(*database, TransferFormat::Csv, file, SpeechImport::Mode::Preview);
    QCOMPARE(contentOf(*database), before);
    const SpeechImport::Counts stored = import(*database, TransferFormat::Csv, file, SpeechImport::Mode::Store);
    for (const SpeechImport::Counts &counts : {preview, stored}) {
        QCOMPARE(counts.added, 3);
        QCOMPARE(counts.skipped, 2);
        QCOMPARE(counts.languagesCreated, 1);
    }
    QCOMPARE(contentOf(*database).size(), before.size() + 4);

    // JSON escapes, a pair of surrogates among them, are the characters they stand for.
    import(*database, TransferFormat::Json,
           R"([{"ID": 7, "Language": "Deutsch", "Keywords": null, "Text": "\u00e9\ud83d\ude00\n\"\/", "Comments": ""}])",
           SpeechImport::Mode::Store);
    QCOMPARE(contentOf(*database).last(), QStringLiteral("Deutsch|NULL|é😀\n\"/|"));
}

void tst_Transfer::badInputChangesNothing_data()
{
    QTest::addColumn<TransferFormat>("format");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("problem");

    const QByteArray header = "Language,Keywords,Text,Comments\r\n";
    const QByteArray good = "English,kw,\"fine, stored first\",\r\n";
    const auto csv = [&](const char *name, const QByteArray &rest, const char *problem) {
        QTest::newRow(name) << TransferFormat::Csv << header + good + rest << QString::fromUtf8(problem);
    };
    csv("quote not closed", "English,kw,\"open\r\n\r\n", "line 3: a quoted field is not closed");
    csv("text after a closing quote", "English,\"kw\"x,t,c\r\n", "line 3: text follows the closing quote");
    csv("quote in an unquoted field", "English,k\"w,t,c\r\n", "line 3: a quote inside a field that is not quoted");
    csv("Latin-1", "English,caf\xe9,t,c\r\n", "line 3: the text is not UTF-8");
    csv("overlong UTF-8", "English,\xc0\xaf,t,c\r\n", "line 3: the text is not UTF-8");
    csv("a field missing", "\"multi\r\nline\",t,c\r\nEnglish,k,t\r\n", "line 3: 3 fields where the header has 4");
    csv("after lone CRs", "English,k,\"a\rb\",c\rEnglish,k,t\r", "line 5: 3 fields where the header has 4");
    csv("keywords of 51 characters", "English," + QString(51, QChar(0xE9)).toUtf8() + ",t,c\r\n",
        "line 3: the keywords are longer than the library's 50 characters");
    csv("NUL", QByteArray("English,kw,nul\0here,c\r\n", 24), "line 3: the Text holds a NUL character");
    csv("no language", ",kw,t,c\r\n", "line 3: the speech has no language");
    csv("an unclosed quote before a very long rest", "English,k,\"" + QByteArray((64 << 20) + 1, 'x'),
        "line 3: a field is longer than 64 MiB");
    QTest::newRow("column missing") << TransferFormat::Csv << QByteArray("\xEF\xBB\xBFLanguage,Keywords,Text\r\nEnglish,k,t\r\n")
                                    << "line 1: the header has no column Comments";

    const QByteArray first = "[{\"Language\": \"English\", \"Keywords\": \"kw\", \"Text\": \"stored first\", \"Comments\": null},\n";
    const auto json = [&](const char *name, const QByteArray &rest, const char *problem) {
        QTest::newRow(name) << TransferFormat::Json << first + rest << QString::fromUtf8(problem);
    };
    const QByteArray speech = "\"Language\": \"English\", \"Keywords\": \"k\", \"Comments\": null";
    json("cut off", "{" + speech + ", \"Text\": \"no end", "line 2, column 75: a string is not closed");
    json("key missing", " {" + speech + "}]", "line 2, column 2: the speech has no key Text");
    json("lone surrogate", "{" + speech + ", \"Text\": \"\\ud800x\"}]", "line 2, column 76: a lone surrogate");
    json("escaped NUL", "{" + speech + ", \"Text\": \"\\u0000\"}]", "line 2, column 1: the Text holds a NUL character");
    json("Latin-1", "{" + speech + ", \"Text\": \"caf\xe9\"}]", "line 2, column 68: the text is not UTF-8");
    json("a number for text", "{" + speech + ", \"Text\": 5}]", "line 2, column 68: the value of Text is not a string or null");
    json("an object for text", "{" + speech + ", \"Text\": {}}]", "line 2, column 68: a value is an object or an array");
    json("text after the array", "{" + speech + ", \"Text\": \"\"}] x", "line 2, column 73: text after the end of the array");
    json("no comma", "{" + speech + ", \"Text\": \"\"} {", "line 2, column 72: expected ',' or ']'");
}

void tst_Transfer::badInputChangesNothing()
{
    QFETCH(TransferFormat, format);
    QFETCH(QByteArray, content);
    QFETCH(QString, problem);
    QTemporaryDir dir;
    TestDatabase library(dir.filePath(QStringLiteral("library.csp")));
    library.addSpeech(library.addLanguage(QStringLiteral("English")), QStringLiteral("old"), QStringLiteral("kept"));
    const std::unique_ptr<Database> database = openDatabase(library.dataSource(), nullptr);
    const QStringList before = contentOf(*database);
    for (const SpeechImport::Mode mode : {SpeechImport::Mode::Preview, SpeechImport::Mode::Store}) {
        try {
            import(*database, format, content, mode);
            QFAIL("the file was taken");
        } catch (const ETransferError &error) {
            QVERIFY2(error.message().startsWith(problem), qPrintable(error.message()));
        }
    }
    QCOMPARE(contentOf(*database), before);
}

void tst_Transfer::exportWritesNothingThroughWhatIsThere_data()
{
    QTest::addColumn<QString>("there"); // what has the export's name already: "", "file", "link", "dangling link"
    QTest::newRow("nothing") << QString();
    QTest::newRow("a file") << QStringLiteral("file");
    QTest::newRow("a link to another's file") << QStringLiteral("link");
    QTest::newRow("a dangling link, as another user plants one") << QStringLiteral("dangling link");
}

// The export is a new file, whole; whatever has its name already is refused and left as it was,
// and what a link points to is neither written nor created.
void tst_Transfer::exportWritesNothingThroughWhatIsThere()
{
    QFETCH(QString, there);
    QTemporaryDir dir;
    TestDatabase library(dir.filePath(QStringLiteral("lib.csp")));
    library.addSpeech(library.addLanguage(QStringLiteral("English")), QStringLiteral("hello"), QStringLiteral("text"));
    const std::unique_ptr<Database> database = openDatabase(library.dataSource(), nullptr);
    const QString out = dir.filePath(QStringLiteral("speeches.csv"));
    const QString victim = dir.filePath(QStringLiteral("authorized_keys"));
    if (there == QLatin1String("file") || there == QLatin1String("link")) {
        QFile file(there == QLatin1String("file") ? out : victim);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("kept") == 4);
    }
    if (there.endsWith(QLatin1String("link")))
        QVERIFY(QFile::link(victim, out));
    try {
        SpeechExport::toFile(*database, out, TransferFormat::Csv, QString());
        QVERIFY2(there.isEmpty(), "an export was written over what was there");
        QFile written(out);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), exported(*database, TransferFormat::Csv));
    } catch (const ETransferError &error) {
        QVERIFY2(!there.isEmpty() && error.message().contains(QLatin1String("already exists")), qPrintable(error.message()));
        QCOMPARE(QFileInfo(out).isSymLink(), there.endsWith(QLatin1String("link")));
    }
    if (there == QLatin1String("dangling link"))
        QVERIFY(!QFileInfo::exists(victim));
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral(".speeches.csv*")}, QDir::Files | QDir::Hidden), QStringList()); // no temporary left
}

TINLARK_TEST_MAIN(tst_Transfer)
#include "tst_Transfer.moc"
