#pragma once

#include "SpeechTextSearch.h"

#include <QObject>
#include <QThread>
#include <atomic>
#include <memory>

class PickerSearchWorker;

// Runs the picker's searches away from the window, on a connection of its own to the same
// database, so that typing never waits for one. Only the latest request counts: one overtaken
// before it starts is skipped, and the answer of one overtaken while it runs is dropped.
class PickerSearch : public QObject
{
    Q_OBJECT

public:
    PickerSearch(const QString &connectionString, QObject *parent = nullptr);
    ~PickerSearch() override;

    // Searches for typed within a language, or within all when languageId is empty.
    void request(const QString &typed, std::optional<qint64> languageId);

signals:
    void found(const std::vector<SpeechMatch> &matches);
    void failed(const QString &message);

private:
    void deliver(quint64 generation, const std::vector<SpeechMatch> &matches, const QString &failure);

    std::shared_ptr<std::atomic<quint64>> m_latest = std::make_shared<std::atomic<quint64>>(0);
    QThread m_thread;
    PickerSearchWorker *m_worker;
};
