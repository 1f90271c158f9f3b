#pragma once

// Counts the starts of a library unit, so that its start-up work runs on the first start
// and its exit work on the matching last exit, however many users start it.
class UnitCounter
{
public:
    // True when this is the first start: the caller then does the start-up work.
    bool enter() { return m_count++ == 0; }
    // True when this ends the last start: the caller then does the exit work. An exit
    // without a start does nothing.
    bool leave()
    {
        if (m_count == 0)
            return false;
        return --m_count == 0;
    }
    int count() const { return m_count; }

private:
    int m_count = 0;
};
