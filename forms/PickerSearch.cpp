#include "PickerSearch.h"

#include "PickerSearchWorker.h"

PickerSearch::PickerSearch(const QString &connectionString, QObject *parent)
    : QObject(parent), m_worker(new PickerSearchWorker(connectionString, m_latest))
{
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &PickerSearchWorker::done, this, &PickerSearch::deliver);
    m_thread.start();
}

PickerSearch::~PickerSearch()
{
    m_latest->store(0); // what is still queued is skipped
    m_thread.quit();
    m_thread.wait();
}

void PickerSearch::request(const QString &typed, std::optional<qint64> languageId)
{
    const quint64 generation = m_latest->fetch_add(1) + 1;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, generation, typed, languageId] {
        worker->search(generation, typed, languageId);
    });
}

void PickerSearch::deliver(quint64 generation, const std::vector<SpeechMatch> &matches, const QString &failure)
{
    if (generation != m_latest->load())
        return;
    if (failure.isEmpty())
        emit found(matches);
    else
        emit failed(failure);
}
