#pragma once

#include <QList>
#include <QString>

struct sqlite3;

// A speech database made by the same schema code as tinlark-makedb, filled by the test.
class TestDatabase
{
public:
    explicit TestDatabase(const QString &path); // creates the file with empty tables
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    int addLanguage(const QString &name); // returns its ID
    int addSpeech(int languageId, const QString &keywords, const QString &text = QString(),
                  const QString &comments = QString()); // returns its ID

    // Plain reads of the file, to see what the program stored.
    int count(const QString &sql);
    QString text(const QString &sql);
    void execute(const QString &sql);

    const QString &path() const { return m_path; }

private:
    QString m_path;
    sqlite3 *m_db = nullptr;
};
