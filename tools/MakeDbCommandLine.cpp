#include "MakeDbCommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <limits>

namespace {

// The actions that take databases of their own instead of making a FILE.
struct DatabaseAction
{
    MakeDbCommandLine::Action action;
    const char *option;
    qsizetype count;
    const char *takes;
};

const DatabaseAction DatabaseActions[] = {
    {MakeDbCommandLine::Action::FromJet, "from-jet", 2, "two databases, OLD and NEW"},
    {MakeDbCommandLine::Action::Server, "server", 1, "one PostgreSQL database URI"},
    {MakeDbCommandLine::Action::Copy, "copy", 2, "two databases, FROM and TO"},
    {MakeDbCommandLine::Action::Backup, "backup", 2, "a database FILE and a folder DIR"},
    {MakeDbCommandLine::Action::Export, "export", 2, "a database FILE and the file OUT"},
    {MakeDbCommandLine::Action::Import, "import", 2, "the file IN and a database FILE"},
};

QString dashed(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// The unknown options as the user typed them: "-x", "--xyz", "-xyz".
QString unknownOptions(const QStringList &names, const QStringList &arguments)
{
    QStringList typed;
    for (const QString &name : names) {
        QString shown = dashed(name);
        for (const QString &argument : arguments) {
            if (argument == QLatin1String("--"))
                break;
            const QString bare = argument.section(QLatin1Char('='), 0, 0);
            if (bare.startsWith(QLatin1Char('-')) && bare.mid(bare.startsWith(QLatin1String("--")) ? 2 : 1) == name) {
                shown = bare;
                break;
            }
        }
        typed.append(QLatin1Char('\'') + shown + QLatin1Char('\''));
    }
    return QStringLiteral("unknown option%1 %2").arg(names.size() == 1 ? "" : "s", typed.join(QStringLiteral(", ")));
}

// A whole number from low to high, or the message naming the option and its range.
int number(const QCommandLineParser &parser, const QString &option, int low, int high, const QString &what, QString &error)
{
    const QString text = parser.value(option);
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        error = QStringLiteral("--%1 takes %2 from %3 to %4, not '%5'").arg(option, what).arg(low).arg(high).arg(text);
    return value;
}

// The options of --export and --import: the format (named, or the exchanged file's suffix),
// the one language to export, the preview of an import.
void readTransferOptions(const QCommandLineParser &parser, MakeDbCommandLine &line)
{
    const bool exporting = line.action == MakeDbCommandLine::Action::Export;
    const bool importing = line.action == MakeDbCommandLine::Action::Import;
    const struct
    {
        const char *option;
        bool fits;
        const char *with;
    } options[] = {{"format", exporting || importing, "--export or --import"},
                   {"language", exporting, "--export"},
                   {"preview", importing, "--import"},
                   {"spreadsheet-safe", exporting, "--export"}};
    for (const auto &option : options) {
        if (parser.isSet(QString::fromLatin1(option.option)) && !option.fits) {
            line.error = QStringLiteral("--%1 works only with %2").arg(option.option, option.with);
            return;
        }
    }
    const bool transfer = exporting || importing;
    if (!transfer || !line.error.isEmpty())
        return;
    line.language = parser.value(QStringLiteral("language"));
    line.preview = parser.isSet(QStringLiteral("preview"));
    line.spreadsheetSafe = parser.isSet(QStringLiteral("spreadsheet-safe"));
    const QString exchanged = exporting ? line.databases[1] : line.databases[0];
    line.format = parser.isSet(QStringLiteral("format")) ? parser.value(QStringLiteral("format")).toLower()
                                                         : QFileInfo(exchanged).suffix().toLower();
    if (line.format != QLatin1String("csv") && line.format != QLatin1String("json"))
        line.error = parser.isSet(QStringLiteral("format"))
                         ? QStringLiteral("--format takes csv or json, not '%1'").arg(parser.value(QStringLiteral("format")))
                         : QStringLiteral("cannot tell the format of %1 from its name: name it .csv or .json, or give --format")
                               .arg(exporting ? "OUT" : "IN");
    else if (line.spreadsheetSafe && line.format != QLatin1String("csv"))
        line.error = QStringLiteral("--spreadsheet-safe works only with CSV; JSON is read by no spreadsheet");
}

} // namespace

MakeDbCommandLine MakeDbCommandLine::parse(const QStringList &arguments)
{
    MakeDbCommandLine line;
    if (arguments.isEmpty())
        return line;
    // A lone "help" is a request, not a database to make ("-- help" or "./help" makes one).
    if (arguments == QStringList{QStringLiteral("help")}) {
        line.action = Action::Help;
        return line;
    }

    QCommandLineParser parser;
    // "-sample" reads as "--sample"; "-hV" is not taken apart.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QString()});
    parser.addOption({{QStringLiteral("V"), QStringLiteral("version")}, QString()});
    parser.addOption({QStringLiteral("sample"), QString(), QStringLiteral("N")});
    parser.addOption({QStringLiteral("languages"), QString(), QStringLiteral("K")});
    parser.addOption({QStringLiteral("format"), QString(), QStringLiteral("FORMAT")});
    parser.addOption({QStringLiteral("language"), QString(), QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("preview"), QString()});
    parser.addOption({QStringLiteral("spreadsheet-safe"), QString()});
    for (const DatabaseAction &action : DatabaseActions)
        parser.addOption({QString::fromLatin1(action.option), QString()});

    if (!parser.parse(QStringList{QStringLiteral("tinlark-makedb")} + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            line.error = unknownOptions(unknown, arguments);
        } else {
            // Qt's "Missing value after '--sample'." as one clause of the line.
            line.error = parser.errorText();
            line.error[0] = line.error[0].toLower();
            if (line.error.endsWith(QLatin1Char('.')))
                line.error.chop(1);
        }
        return line;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        line.action = Action::Help;
        return line;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        line.action = Action::Version;
        return line;
    }

    line.databases = parser.positionalArguments();
    const bool sample = parser.isSet(QStringLiteral("sample"));
    const bool languages = parser.isSet(QStringLiteral("languages"));
    const DatabaseAction *chosen = nullptr;
    for (const DatabaseAction &action : DatabaseActions) {
        if (!parser.isSet(QString::fromLatin1(action.option)))
            continue;
        if (chosen) {
            line.error = QStringLiteral("--%1 and --%2 cannot be used together").arg(chosen->option, action.option);
            return line;
        }
        chosen = &action;
    }

    if (chosen) {
        if (sample || languages) {
            line.error = QStringLiteral("--%1 cannot be used with --%2").arg(sample ? "sample" : "languages", chosen->option);
        } else if (line.databases.size() != chosen->count) {
            // The arguments themselves are not repeated: a URI may hold a password.
            line.error = QStringLiteral("--%1 takes %2 (%3 given)").arg(chosen->option, chosen->takes).arg(line.databases.size());
        }
        line.action = chosen->action;
        readTransferOptions(parser, line);
        return line;
    }
    readTransferOptions(parser, line);
    if (!line.error.isEmpty())
        return line;

    line.action = Action::Make;
    if (languages && !sample) {
        line.error = QStringLiteral("--languages needs --sample: an empty database has no languages");
        return line;
    }
    if (sample)
        line.speeches = number(parser, QStringLiteral("sample"), 0, std::numeric_limits<int>::max(),
                               QStringLiteral("a number of speeches"), line.error);
    if (languages && line.error.isEmpty())
        line.languages = number(parser, QStringLiteral("languages"), 1, MaxLanguages, QStringLiteral("a number of languages"),
                                line.error);
    if (line.error.isEmpty() && line.databases.size() != 1)
        line.error = QStringLiteral("give one database FILE to make (%1 given)").arg(line.databases.size());
    return line;
}
