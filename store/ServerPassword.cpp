#include "ServerPassword.h"

#include "Keyring.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <QThread>

namespace {

ServerPassword::Prompt &currentPrompt()
{
    static ServerPassword::Prompt prompt;
    return prompt;
}

ServerPassword::Notice &currentNotice()
{
    static ServerPassword::Notice notice;
    return notice;
}

// Connections are also made on other threads (the picker's search).
struct Remembered
{
    QMutex mutex;
    QHash<QString, QByteArray> passwords;
};

Remembered &rememberedPasswords()
{
    static Remembered remembered;
    return remembered;
}

// A dialog can only be shown on the main thread.
bool onMainThread()
{
    const QCoreApplication *application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

// The keyring's reason, unless it repeats the password.
QString becauseOf(const QString &failure, const QByteArray &password)
{
    if (failure.isEmpty() || (!password.isEmpty() && failure.contains(QString::fromUtf8(password))))
        return QString();
    return QStringLiteral(" (%1)").arg(failure);
}

void tell(const QString &message)
{
    if (const ServerPassword::Notice &notice = currentNotice())
        notice(message);
}

} // namespace

namespace ServerPassword {

void setPrompt(Prompt prompt)
{
    currentPrompt() = std::move(prompt);
}

const Prompt &prompt()
{
    return currentPrompt();
}

void setNotice(Notice notice)
{
    currentNotice() = std::move(notice);
}

void remember(const QString &server, const QByteArray &password)
{
    Remembered &remembered = rememberedPasswords();
    const QMutexLocker lock(&remembered.mutex);
    remembered.passwords.insert(server, password);
}

std::optional<QByteArray> remembered(const QString &server)
{
    Remembered &remembered = rememberedPasswords();
    const QMutexLocker lock(&remembered.mutex);
    const auto found = remembered.passwords.constFind(server);
    return found == remembered.passwords.cend() ? std::nullopt : std::optional(*found);
}

Attempts::Attempts(QString server, bool refusedBefore)
    : m_server(std::move(server)), m_last(refusedBefore ? Refused::Typed : Refused::Nothing)
{
}

std::optional<QByteArray> Attempts::next()
{
    const Prompt &ask = prompt();
    if (!ask || !onMainThread())
        return std::nullopt;
    m_toKeep.reset();
    if (m_last == Refused::Nothing) {
        m_last = Refused::Kept;
        if (std::optional<QByteArray> kept = Keyring::find(m_server))
            return kept;
        m_last = Refused::Nothing;
    }
    m_keptRefused = m_keptRefused || m_last == Refused::Kept;
    const std::optional<Answer> answer = ask(m_server, m_last);
    if (!answer)
        return std::nullopt;
    m_last = Refused::Typed;
    if (answer->keep) {
        m_toKeep = answer->password;
    } else if (m_keptRefused) {
        // The user no longer wants one kept: the refused one would be tried at every start.
        QString failure;
        if (Keyring::forget(m_server, &failure))
            m_keptRefused = false;
        else
            tell(QStringLiteral("The refused password for the server %1 could not be removed from the desktop's "
                                "keyring%2")
                     .arg(m_server, becauseOf(failure, answer->password)));
    }
    return answer->password;
}

void Attempts::accepted()
{
    QString failure;
    if (m_toKeep && !Keyring::keep(m_server, *m_toKeep, &failure))
        tell(QStringLiteral("The password for the server %1 could not be kept in the desktop's keyring%2. It is used "
                            "until the program ends and asked for at its next start")
                 .arg(m_server, becauseOf(failure, *m_toKeep)));
    m_toKeep.reset();
}

} // namespace ServerPassword
