#pragma once

#include <thread>

// Reads the desktop's font configuration (fontconfig's FcInit: dozens of configuration files
// and the font caches, the largest single piece of the program's start) on a thread of its own,
// while the program loads its windows' libraries and connects to the display, so that the
// window's first line of text finds it ready. On a machine with one processor it costs what it
// would have cost anyway.
class FontConfigWarmUp
{
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp &) = delete;
    FontConfigWarmUp &operator=(const FontConfigWarmUp &) = delete;

    // Returns once the configuration is read, or could not be: called before the first text is
    // measured, which would otherwise read it a second time beside this one.
    void wait();

private:
    std::thread m_thread;
};
