#pragma once

#include "SessionBus.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

// A virtual X server on a display nobody uses, optionally with a window manager, for tests
// that run the real program as a user would. Everything it starts ends with it.
class XDesktop
{
public:
    XDesktop() = default;
    ~XDesktop();
    XDesktop(const XDesktop &) = delete;
    XDesktop &operator=(const XDesktop &) = delete;

    // Starts the server (and openbox when asked); false, with the reason in error(), if not.
    bool start(const QString &screen = QStringLiteral("1024x768x24"), bool windowManager = false);
    QString error() const { return m_error; }
    // Starts a session bus of this desktop's own, with a runtime folder of its own, for the
    // programs started on it; false, with the reason in error(), if not.
    bool startSessionBus();

    // The environment for programs shown on this desktop.
    QProcessEnvironment environment() const { return m_environment; }
    void setEnvironment(const QProcessEnvironment &environment) { m_environment = environment; }

    // Runs a tool on this desktop to its end and returns what it printed.
    QByteArray run(const char *tool, const QStringList &arguments, int timeoutMs = 10000) const;
    // The first visible window whose title is title; empty when none appears in time.
    QString waitForWindow(const QString &title, int timeoutMs = 30000) const;

    // The program of that name on the search path; a full path stands as it is.
    static QString tool(const char *name);

private:
    QProcess m_server;
    QProcess m_windowManager;
    SessionBus m_sessionBus;
    QProcessEnvironment m_environment;
    QString m_error;
};
