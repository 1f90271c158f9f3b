#pragma once

#include <QString>
#include <QStringList>

// Made-up but realistic speeches for demonstrations and benchmarks: greetings, replies and
// notes in several languages, some with accents, ß and Cyrillic letters.
class SampleSpeeches
{
public:
    static QStringList languageNames(); // twenty languages

    // The keywords, text and comment of sample speech number index in a language. The same
    // numbers always give the same speech.
    static QString keywords(int languageIndex, int index);
    static QString text(int languageIndex, int index);
    static QString comments(int languageIndex, int index);
};
