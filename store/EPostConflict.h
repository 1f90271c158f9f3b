#pragma once

#include "EDatabaseError.h"

// A post refused because someone else changed or deleted the row after it was read here. The
// row being edited keeps what was typed, so that the caller can offer what to do with it.
class EPostConflict : public EDatabaseError
{
public:
    enum class Kind { Changed, Deleted };

    EPostConflict(Kind kind, const QString &message) : EDatabaseError(message), m_kind(kind) {}
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};
