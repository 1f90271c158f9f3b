#pragma once

#include "Exception.h"

// A text that does not stand for the value it was read as.
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};
