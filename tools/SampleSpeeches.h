#pragma once

#include <QString>
#include <QStringList>

// Made-up but realistic speeches for demonstrations and benchmarks: everyday canned replies
// in twenty languages, each filed under the language it is written in, with a note now and
// then of how often it was used.
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
