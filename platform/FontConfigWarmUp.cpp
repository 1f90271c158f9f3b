#include "FontConfigWarmUp.h"

#include "OnDemandLibrary.h"

#include <system_error>

FontConfigWarmUp::FontConfigWarmUp()
{
    // The library the windows' toolkit links, loaded on this thread: the loader takes one
    // library at a time, and the windows' libraries are loaded next. Without it the toolkit
    // reports the fault itself.
    using FcInit = int (*)();
    const auto readFontConfiguration = reinterpret_cast<FcInit>(onDemandSymbol("libfontconfig.so.1", "FcInit"));
    if (!readFontConfiguration)
        return;
    try {
        // fontconfig keeps the configuration for the process: the toolkit's FcInit finds it.
        m_thread = std::thread(readFontConfiguration);
    } catch (const std::system_error &) {
        // No thread to be had: the toolkit reads the configuration itself, as it would anyway.
    }
}

FontConfigWarmUp::~FontConfigWarmUp()
{
    wait();
}

void FontConfigWarmUp::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}
