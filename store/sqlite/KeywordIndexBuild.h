#pragma once

#include "BatchedJob.h"

#include <QtGlobal>
#include <memory>

class SqliteDatabase;

// Fills the keyword index of a file that lacks it (see KeywordIndex), on a connection of its
// own, a thousand speeches a transaction.
class KeywordIndexBuild : public BatchedJob
{
public:
    explicit KeywordIndexBuild(const QString &path, int speechesPerBatch = 1000);
    ~KeywordIndexBuild() override;

    QString title() const override;
    void start() override;
    bool runBatch() override;
    int percentDone() const override;

private:
    QString m_path;
    int m_speechesPerBatch;
    std::unique_ptr<SqliteDatabase> m_database;
    qint64 m_position = 0;
    qint64 m_highestId = 0;
};
