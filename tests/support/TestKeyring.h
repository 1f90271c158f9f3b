#pragma once

#include "SessionBus.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <optional>

// A real Secret Service of a test's own: gnome-keyring-daemon on a private session bus, its
// keyrings in a temporary home, unlocked with a known password, so the user's keyring is never
// touched. This process is pointed at that bus while the object lives; everything it started
// ends with it.
class TestKeyring
{
public:
    TestKeyring() = default;
    ~TestKeyring();
    TestKeyring(const TestKeyring &) = delete;
    TestKeyring &operator=(const TestKeyring &) = delete;

    // Empty when gnome-keyring is installed; otherwise why the tests cannot run.
    static QString missingReason();
    // Starts the bus and the keyring and waits (a few seconds at most) until the keyring
    // answers on the bus; false, with the reason in error(), if not.
    bool start();
    // Ends the keyring: the bus stays, a desktop session where no keyring runs or can be started.
    void stop();
    // Stops the keyring where it is, as a hung one (it keeps its name on the bus but answers
    // nothing), or lets it go on.
    void freeze(bool frozen);
    QString error() const { return m_error; }

private:
    QTemporaryDir m_home;
    SessionBus m_bus;
    QProcess m_daemon;
    std::optional<QByteArray> m_formerAddress;
    bool m_addressSet = false;
    QString m_error;
};
