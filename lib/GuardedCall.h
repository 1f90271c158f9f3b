#pragma once

#include "TApplication.h"

#include <exception>

// Runs a handler called from Qt's own code (a signal, an event function): a failure is
// shown by the application's exception display and goes no further, since unwinding
// through Qt's frames would skip their clean-up. Returns false when the handler failed.
template <typename Handler>
bool callGuarded(Handler &&handler)
{
    try {
        handler();
        return true;
    } catch (const std::exception &error) {
        TApplication::instance()->showException(error);
    }
    return false;
}
