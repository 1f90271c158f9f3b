#include "StartOptions.h"

#include <QCommandLineParser>

StartOptions StartOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption pick(QStringLiteral("pick"), QStringLiteral("Pick a speech and put it on the clipboard."));
    parser.addOption(pick);
    StartOptions options;
    if (!parser.parse(arguments))
        options.error = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        options.error = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst());
    options.pick = parser.isSet(pick);
    return options;
}

StartOptions StartOptions::parse(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments += QString::fromLocal8Bit(argv[i]);
    return parse(arguments);
}
