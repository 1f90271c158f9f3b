#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

class Database;
struct sqlite3;

// A speech database made by the same schema code as tinlark-makedb, filled by the test. In a
// test run on the server (see TestServer) it is a library on the server instead, which the
// settings written for the same folder name in place of the file.
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
    // What a connection string names to reach it: the file's path, or the server library.
    QString dataSource() const { return m_serverLibrary.isEmpty() ? m_path : m_serverLibrary; }

private:
    std::optional<QVariant> run(const QString &sql, const QVariantList &values = {});

    QString m_path;
    sqlite3 *m_db = nullptr;
    QString m_serverLibrary;
    std::unique_ptr<Database> m_server;
};
