#pragma once

#include "Connection.h"
#include "SpeechTextSearch.h"

#include <QObject>
#include <atomic>
#include <memory>

// The picker's searches on the thread that runs them; see PickerSearch.
class PickerSearchWorker : public QObject
{
    Q_OBJECT

public:
    PickerSearchWorker(const QString &connectionString, std::shared_ptr<std::atomic<quint64>> latest);

    // Searches unless a later request has come in; opens the connection on the first.
    void search(quint64 generation, const QString &typed, std::optional<qint64> languageId);

signals:
    void done(quint64 generation, const std::vector<SpeechMatch> &matches, const QString &failure);

private:
    Connection m_connection;
    std::shared_ptr<std::atomic<quint64>> m_latest;
};
