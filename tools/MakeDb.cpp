// tinlark-makedb: makes a speech database file, empty or filled with sample speeches; lays the
// tables into a server database; copies a library between a file and a server; backs a file up;
// exports and imports speeches as CSV or JSON.

#include "BackupCommand.h"
#include "EDatabaseError.h"
#include "FromJet.h"
#include "LibraryCopy.h"
#include "MakeDbCommandLine.h"
#include "SampleDatabase.h"
#include "ServerDataSource.h"
#include "ServerSchema.h"
#include "TransferCommands.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {

const char *const UsageText =
    "usage: tinlark-makedb [--sample N [--languages K]] [--] FILE\n"
    "       tinlark-makedb --from-jet OLD NEW\n"
    "       tinlark-makedb --server URI\n"
    "       tinlark-makedb --copy FROM TO\n"
    "       tinlark-makedb --backup FILE DIR\n"
    "       tinlark-makedb --export [--language NAME] [--format csv|json] [--spreadsheet-safe] FILE OUT\n"
    "       tinlark-makedb --import [--preview] [--format csv|json] IN FILE\n"
    "       tinlark-makedb -h | --help | -V | --version\n"
    "Makes a new speech database FILE; with --sample, N sample speeches over K languages (1-20, default 20).\n"
    "With --from-jet, converts the Access (Jet 3 or Jet 4) speech database OLD into NEW.\n"
    "With --server, creates the speech tables on the empty PostgreSQL database URI names\n"
    "(postgresql://user@host/dbname; the password from ~/.pgpass or PGPASSWORD).\n"
    "With --copy, copies a whole library, IDs kept, between a file and a server (either way).\n"
    "With --backup, makes a checked backup of the database FILE in the folder DIR, named by the day\n"
    "(Speeches-2026-12-08.csp), and removes the older ones the settings' [Backups] no longer keep.\n"
    "With --export, writes the speeches of FILE (a file or a server URI), all or one language's, into the new\n"
    "file OUT as CSV or JSON (told by OUT's name, or --format), each text exactly as it is. With --spreadsheet-safe,\n"
    "a CSV cell that begins with = + - @, a tab, a CR or ' gets a ' in front, so that a spreadsheet shows it\n"
    "instead of running it as a formula; --import takes the ' off again.\n"
    "With --import, merges the speeches of IN into FILE in one transaction: languages matched without regard to\n"
    "case, a speech already there passed over; --preview only counts. A fault in IN stores nothing.\n"
    "An existing FILE, NEW, TO or OUT file is never overwritten; a server database that holds speeches is left alone.\n"
    "-- ends the options: tinlark-makedb -- -h makes a database named -h.\n";

QString counted(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// Makes the database FILE, empty or with sample speeches, and says what it made where.
int make(const MakeDbCommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString file = line.databases.first();
    const int languages = line.speeches > 0 ? line.languages : 0;
    // Never taken for a file's name, nor echoed: a server's connection string may hold a password.
    if (isServerDataSource(file) || looksLikeServerDataSource(file)) {
        err << "tinlark-makedb: FILE reads like a server's connection string, not a file; make a server "
               "library's tables with --server\n";
        return 2;
    }
    try {
        SampleDatabase::create(file, line.speeches, languages);
    } catch (const EDatabaseError &error) {
        err << "tinlark-makedb: " << error.message() << "\n";
        return 1;
    }
    const QString where = QFileInfo(file).absoluteFilePath();
    if (languages == 0)
        out << "Made the empty speech database " << where << "\n";
    else
        out << "Made the speech database " << where << " with " << counted(line.speeches, "sample speech", "sample speeches")
            << " in " << counted(languages, "language", "languages") << "\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    QTextStream out(stdout);
    const MakeDbCommandLine line = MakeDbCommandLine::parse(app.arguments().mid(1));
    if (!line.error.isEmpty()) {
        err << "tinlark-makedb: " << line.error << "; see tinlark-makedb --help\n";
        return 2;
    }
    switch (line.action) {
    case MakeDbCommandLine::Action::Usage:
        err << UsageText;
        return 2;
    case MakeDbCommandLine::Action::Help:
        out << UsageText;
        return 0;
    case MakeDbCommandLine::Action::Version:
        out << "tinlark-makedb " TINLARK_VERSION "\n";
        return 0;
    case MakeDbCommandLine::Action::Make:
        return make(line, out, err);
    case MakeDbCommandLine::Action::FromJet:
        return fromJet(line.databases, out, err);
    case MakeDbCommandLine::Action::Server:
        return ServerSchema::makeCommand(line.databases, out, err);
    case MakeDbCommandLine::Action::Copy:
        return LibraryCopy::copyCommand(line.databases, out, err);
    case MakeDbCommandLine::Action::Backup:
        return backupCommand(line.databases, out, err);
    case MakeDbCommandLine::Action::Export:
        return exportCommand(line, out, err);
    case MakeDbCommandLine::Action::Import:
        return importCommand(line, out, err);
    }
    return 2;
}
