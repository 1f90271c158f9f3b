#pragma once

#include <QString>
#include <QVariant>
#include <memory>

// Fills a library file just made (createLibraryFile) with many rows, fast: everything goes in
// one transaction without a journal, and the keyword and word indexes catch up once at the
// end. Only for a file that is removed when filling it fails (samples, benchmarks): until
// finish() nothing is durable. Every failure raises EDatabaseError.
class NewLibraryFiller
{
public:
    explicit NewLibraryFiller(const QString &path);
    ~NewLibraryFiller();
    NewLibraryFiller(const NewLibraryFiller &) = delete;
    NewLibraryFiller &operator=(const NewLibraryFiller &) = delete;

    // Languages are numbered 1, 2, ... in the order they are added.
    void addLanguage(const QString &name);
    // A null comments leaves the speech without comments.
    void addSpeech(qint64 languageId, const QString &keywords, const QString &text, const QVariant &comments);
    // Catches the indexes up, commits and gathers the statistics the queries are planned by.
    void finish();

private:
    struct OpenFile;
    std::unique_ptr<OpenFile> m_file;
};
