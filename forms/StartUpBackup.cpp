#include "StartUpBackup.h"

#include "EAbort.h"
#include "LibraryBackup.h"

#include <QDateTime>

StartUpBackup::StartUpBackup(const QString &databasePath, const BackupRotation &rotation, QObject *parent)
    : QObject(parent)
{
    m_thread = std::thread([this, databasePath, rotation, now = QDateTime::currentDateTime()] {
        // Queued to this object: dropped, unsent, should the window be gone by then.
        const auto report = [this](const QString &message) {
            QMetaObject::invokeMethod(this, [this, message] { emit failed(message); }, Qt::QueuedConnection);
        };
        try {
            LibraryBackup::makeDaily(databasePath, rotation, now, &m_stop);
        } catch (const EAbort &) {
        } catch (const Exception &error) {
            report(error.message());
        } catch (const std::exception &error) {
            report(QString::fromLocal8Bit(error.what()));
        }
        QMetaObject::invokeMethod(this, [this] { emit finished(); }, Qt::QueuedConnection);
    });
}

StartUpBackup::~StartUpBackup()
{
    m_stop = true;
    m_thread.join();
}
