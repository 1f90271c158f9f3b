#include "SampleDatabase.h"

#include "NewLibraryFile.h"
#include "NewLibraryFiller.h"
#include "SampleSpeeches.h"

#include <QFile>

namespace {

void fill(NewLibraryFiller &file, int speeches, int languages, int smallLanguageSize)
{
    const QStringList names = SampleSpeeches::languageNames().mid(0, languages);
    for (const QString &name : names)
        file.addLanguage(name);
    const int shared = smallLanguageSize > 0 ? int(names.size()) - 1 : int(names.size());
    const int small = smallLanguageSize > 0 ? std::min(smallLanguageSize, speeches) : 0;
    // The small language's speeches are spread evenly through the others'.
    const int spacing = small > 0 ? std::max(1, speeches / small) : 0;
    int smallDone = 0;
    int sharedDone = 0;
    for (int i = 0; i < speeches; ++i) {
        const bool inSmall = small > 0 && smallDone < small && (i % spacing == 0 || speeches - i <= small - smallDone);
        const int language = inSmall ? int(names.size()) - 1 : (shared > 0 ? sharedDone % shared : 0);
        const int number = inSmall ? smallDone++ : sharedDone++ / std::max(shared, 1);
        const QString comments = SampleSpeeches::comments(language, number);
        file.addSpeech(language + 1, SampleSpeeches::keywords(language, number), SampleSpeeches::text(language, number),
                       comments.isEmpty() ? QVariant() : QVariant(comments));
    }
    file.finish();
}

} // namespace

namespace SampleDatabase {

void create(const QString &path, int speeches, int languages, int smallLanguageSize)
{
    createLibraryFile(path);
    if (speeches <= 0 && languages <= 0)
        return;
    try {
        NewLibraryFiller file(path);
        fill(file, speeches, languages, smallLanguageSize);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

} // namespace SampleDatabase
