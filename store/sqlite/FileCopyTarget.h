#pragma once

#include "CopyTarget.h"

class SqliteDatabase;

// A new database file that a library is copied into; removed when the copy fails.
class FileCopyTarget : public CopyTarget
{
public:
    FileCopyTarget(const QString &path, Schema::TextLimits limits);
    ~FileCopyTarget() override;

    Database &database() override;
    void continueIds(qint64 lastLanguageId, qint64 lastSpeechId) override;
    void commit() override;
    void abandon() noexcept override;
    QString describe() const override;

private:
    QString m_path;
    std::unique_ptr<SqliteDatabase> m_database;
    bool m_finished = false; // committed or abandoned
};
