#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

struct _GCancellable;

// Gives up a keyring call when the keyring no longer answers, rather than waiting out D-Bus's
// 25 seconds for each of its messages. While the call lasts, the keyring is asked every
// `every` a question that costs it nothing (D-Bus's Ping); one it does not answer within
// `answer` (the bus starting it if it must, as for the call) cancels the call. A keyring that
// shows its own prompt (the user typing its password) still answers, and is waited for; one
// whose D-Bus side answers while the rest of it hangs is not found out.
class KeyringDeadline
{
public:
    explicit KeyringDeadline(std::chrono::milliseconds every = std::chrono::milliseconds(2000),
                             std::chrono::milliseconds answer = std::chrono::milliseconds(2000));
    ~KeyringDeadline();
    KeyringDeadline(const KeyringDeadline &) = delete;
    KeyringDeadline &operator=(const KeyringDeadline &) = delete;

    // For the call; nullptr when GIO cannot be loaded (the call then waits as it would).
    _GCancellable *cancellable() const { return m_cancellable; }
    // Whether the call was given up because the keyring did not answer.
    bool expired() const;

private:
    void watch(std::chrono::milliseconds every, std::chrono::milliseconds answer);

    _GCancellable *m_cancellable = nullptr;
    mutable std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_done = false;
    bool m_expired = false;
    std::thread m_watcher;
};
