#pragma once

#include "Exception.h"

// A file that cannot be read or written as speeches: the message names the place in the
// file ("line 12: ...") and the reason.
class ETransferError : public Exception
{
public:
    using Exception::Exception;
};
