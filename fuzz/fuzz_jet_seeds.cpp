// Writes the seed corpus of the Jet converter's fuzz target: the Access databases kept for
// the tests, copied into the folder named on the command line.

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_jet_seeds FOLDER\n");
        return 2;
    }
    const QDir source(QStringLiteral(TINLARK_JET_SEEDS));
    const QDir target(QString::fromLocal8Bit(argv[1]));
    const QStringList files = source.entryList({QStringLiteral("*.mdb")}, QDir::Files);
    if (files.isEmpty()) {
        std::fprintf(stderr, "fuzz_jet_seeds: no Jet files in %s\n", qPrintable(source.path()));
        return 1;
    }
    for (const QString &name : files) {
        if (!QFile::copy(source.filePath(name), target.filePath(name))) {
            std::fprintf(stderr, "fuzz_jet_seeds: cannot copy %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
