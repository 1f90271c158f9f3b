#pragma once

#include "CopyTarget.h"

class PostgresDatabase;

// An empty database on a server that a library is copied into, in one transaction.
class ServerCopyTarget : public CopyTarget
{
public:
    ServerCopyTarget(const QString &dataSource, Schema::TextLimits limits);
    ~ServerCopyTarget() override;

    Database &database() override;
    void continueIds(qint64 lastLanguageId, qint64 lastSpeechId) override;
    void commit() override;
    void abandon() noexcept override;
    QString describe() const override;

private:
    std::unique_ptr<PostgresDatabase> m_database;
    bool m_open = false;
};
