#pragma once

#include "Shell.h"

#include <memory>

// The desktop's own shell: xdg-open, or the named program itself when the file is one.
//
// The wait lets the windows repaint but takes no user input until the started program ends;
// input given meanwhile arrives afterwards. It gives up after the wait limit (a minute unless
// told otherwise), so that a mail program left open cannot hold the windows for good; the
// started program then runs on by itself and is never killed.
class XdgShell : public Shell
{
public:
    static constexpr int DefaultWaitLimitMs = 60 * 1000;

    explicit XdgShell(int waitLimitMs = DefaultWaitLimitMs);

    bool openAndWait(const QString &file, const QString &parameters) override;

    // How many of the programs that this shell stopped waiting for are still running.
    int programsLeftRunning() const { return *m_leftRunning; }

private:
    int m_waitLimitMs;
    std::shared_ptr<int> m_leftRunning = std::make_shared<int>(0);
};
