#pragma once

// Starts a library unit for the life of a block and ends it when the block is left, also
// by an exception. The entry function keeps one per unit, made after the application
// object, so that the units end after the main window is gone.
class UnitScope
{
public:
    UnitScope(void (*startup)(), void (*exit)()) : m_exit(exit) { startup(); }
    ~UnitScope() { m_exit(); }
    UnitScope(const UnitScope &) = delete;
    UnitScope &operator=(const UnitScope &) = delete;

private:
    void (*m_exit)();
};
