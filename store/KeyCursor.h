#pragma once

#include <optional>
#include <QtGlobal>

// The order of a record set's rows, told by their keys (the ID column). A record set keeps
// keys, never whole rows, and asks its cursor for the neighbours of the current key.
class KeyCursor
{
public:
    virtual ~KeyCursor() = default;

    virtual std::optional<qint64> first() = 0;
    virtual std::optional<qint64> last() = 0;
    virtual std::optional<qint64> next(qint64 key) = 0;
    virtual std::optional<qint64> prior(qint64 key) = 0;
    virtual bool contains(qint64 key) = 0;
    virtual int count() = 0;
    virtual int indexOf(qint64 key) = 0; // -1 when the key is not there
    virtual std::optional<qint64> keyAt(int index) = 0;

    // A row stored by the record set itself: where it stands until the next refresh.
    // before is the key it was inserted in front of, or none for the end.
    virtual void keyInserted(qint64 key, std::optional<qint64> before) = 0;
    virtual void keyRemoved(qint64 key) = 0;
};
