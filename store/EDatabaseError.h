#pragma once

#include "Exception.h"

// A failure of the database layer: the message says what was refused and, where SQLite
// refused it, SQLite's own words.
class EDatabaseError : public Exception
{
public:
    using Exception::Exception;
};
