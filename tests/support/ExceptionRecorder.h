#pragma once

#include <QStringList>

// Takes the place of the exception display while it lives: every message the program
// would show in a box is kept here instead.
class ExceptionRecorder
{
public:
    ExceptionRecorder();
    ~ExceptionRecorder();
    ExceptionRecorder(const ExceptionRecorder &) = delete;
    ExceptionRecorder &operator=(const ExceptionRecorder &) = delete;

    const QStringList &messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    QStringList m_messages;
};
