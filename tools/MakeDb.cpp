// tinlark-makedb: makes a speech database file, empty or filled with sample speeches; lays the
// tables into a server database; copies a library between a file and a server.

#include "EDatabaseError.h"
#include "FromJet.h"
#include "LibraryCopy.h"
#include "SampleDatabase.h"
#include "ServerSchema.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

struct Options
{
    QString file;
    int speeches = 0;
    int languages = 20;
};

const char *const UsageText =
    "usage: tinlark-makedb [--sample N] [--languages K] FILE\n"
    "       tinlark-makedb --from-jet OLD NEW\n"
    "       tinlark-makedb --server URI\n"
    "       tinlark-makedb --copy FROM TO\n"
    "       tinlark-makedb --help | --version\n"
    "Makes a new speech database FILE; with --sample, N sample speeches over K languages (1-20, default 20).\n"
    "With --from-jet, converts the Access (Jet 3 or Jet 4) speech database OLD into NEW.\n"
    "With --server, creates the speech tables on the empty PostgreSQL database URI names\n"
    "(postgresql://user@host/dbname; the password from ~/.pgpass or PGPASSWORD).\n"
    "With --copy, copies a whole library, IDs kept, between a file and a server (either way).\n"
    "An existing FILE, NEW or TO file is never overwritten; a server database that holds speeches is left alone.\n";

int usage(QTextStream &err)
{
    err << UsageText;
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--from-jet"))
        return fromJet(arguments.mid(1), out, err);
    if (arguments.value(0) == QLatin1String("--server"))
        return ServerSchema::makeCommand(arguments.mid(1), out, err);
    if (arguments.value(0) == QLatin1String("--copy"))
        return LibraryCopy::copyCommand(arguments.mid(1), out, err);
    if (arguments == QStringList{QStringLiteral("--help")}) {
        out << UsageText;
        return 0;
    }
    if (arguments == QStringList{QStringLiteral("--version")}) {
        out << "tinlark-makedb " TINLARK_VERSION "\n";
        return 0;
    }
    Options options;
    bool ok = true;
    while (!arguments.isEmpty()) {
        const QString argument = arguments.takeFirst();
        if ((argument == QLatin1String("--sample") || argument == QLatin1String("--languages")) && !arguments.isEmpty()) {
            const int value = arguments.takeFirst().toInt(&ok);
            if (!ok || value < 0)
                return usage(err);
            (argument == QLatin1String("--sample") ? options.speeches : options.languages) = value;
        } else if (argument.startsWith(QLatin1String("--")) || !options.file.isEmpty()) {
            return usage(err);
        } else {
            options.file = argument;
        }
    }
    if (options.file.isEmpty() || options.languages < 1 || options.languages > 20)
        return usage(err);
    try {
        SampleDatabase::create(options.file, options.speeches, options.speeches > 0 ? options.languages : 0);
    } catch (const EDatabaseError &error) {
        err << "tinlark-makedb: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
