#pragma once

#include "Connection.h"
#include "DatabaseTexts.h"
#include "RecordSet.h"
#include "TestDatabase.h"
#include "TestServer.h"

#include <QTemporaryDir>
#include <memory>

// A speech database in a fresh folder with a connection to it, as the main window makes one.
struct StoreFixture
{
    QTemporaryDir dir;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Connection> connection;

    explicit StoreFixture(const QString &fileName = QStringLiteral("Speeches.csp"))
    {
        db = std::make_unique<TestDatabase>(dir.filePath(fileName));
        connection = std::make_unique<Connection>();
        connection->setConnectionString(DatabaseTexts::connectionString(db->dataSource()));
    }

    std::unique_ptr<RecordSet> recordSet(const QString &command, LockType lockType = LockType::Optimistic)
    {
        auto set = std::make_unique<RecordSet>(connection.get());
        set->setCommandText(command);
        set->setLockType(lockType);
        return set;
    }
};
