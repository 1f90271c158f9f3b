#include "PickerSearchWorker.h"

PickerSearchWorker::PickerSearchWorker(const QString &connectionString, std::shared_ptr<std::atomic<quint64>> latest)
    : m_latest(std::move(latest))
{
    m_connection.setConnectionString(connectionString);
}

void PickerSearchWorker::search(quint64 generation, const QString &typed, std::optional<qint64> languageId)
{
    if (generation != m_latest->load())
        return;
    // Nothing may leave a slot run by the event loop: a failure travels back as a message.
    try {
        emit done(generation, SpeechTextSearch::find(m_connection, typed, languageId), QString());
    } catch (const std::exception &error) {
        emit done(generation, {}, QString::fromUtf8(error.what()));
    }
}
