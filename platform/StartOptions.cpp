#include "StartOptions.h"

#include <QCommandLineParser>
#include <cstdio>

StartOptions StartOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption pick(QStringLiteral("pick"), QStringLiteral("Pick a speech and put it on the clipboard."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show the usage."));
    const QCommandLineOption version({QStringLiteral("V"), QStringLiteral("version")}, QStringLiteral("Show the version."));
    parser.addOptions({pick, help, version});
    StartOptions options;
    if (!parser.parse(arguments))
        options.error = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        options.error = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst());
    options.pick = parser.isSet(pick);
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    return options;
}

StartOptions StartOptions::parse(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments += QString::fromLocal8Bit(argv[i]);
    return parse(arguments);
}

QString StartOptions::helpText()
{
    return QStringLiteral(
        "usage: tinlark [--pick] [qt-option ...]\n"
        "       tinlark -h | --help | -V | --version\n"
        "Keeps canned speeches and puts them on the clipboard.\n"
        "  --pick         open the picker: type words of a speech, choose it and press Enter to put it\n"
        "                 on the clipboard; a program already running opens its own\n"
        "  -h, --help     show this usage and end\n"
        "  -V, --version  show the version and end\n"
        "The options every Qt program takes (-platform, -display, -style, -reverse) apply as well.\n"
        "See man tinlark.\n");
}

QString StartOptions::versionText()
{
    return QStringLiteral("tinlark " TINLARK_VERSION "\n");
}

std::optional<int> StartOptions::answerOnTerminal() const
{
    // A command line it cannot read is the windows' part to refuse: Qt's own options are
    // known only once the application object has taken them.
    if (!error.isEmpty() || (!help && !version))
        return std::nullopt;
    const QByteArray text = (help ? helpText() : versionText()).toLocal8Bit();
    const bool written = std::fwrite(text.constData(), 1, size_t(text.size()), stdout) == size_t(text.size());
    return written && std::fflush(stdout) == 0 ? 0 : 1;
}
