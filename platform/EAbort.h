#pragma once

#include "Exception.h"

// The silent failure: it unwinds the current operation and is never shown.
class EAbort : public Exception
{
public:
    EAbort() : Exception(QString()) {}
};
