#include "ExceptionRecorder.h"

#include "TApplication.h"

ExceptionRecorder::ExceptionRecorder()
{
    TApplication::instance()->setExceptionDisplay([this](const QString &message) { m_messages.append(message); });
}

ExceptionRecorder::~ExceptionRecorder()
{
    TApplication::instance()->setExceptionDisplay(nullptr);
}
