#pragma once

#include <functional>

class QWidget;

// What waits for a window's first painted frame. Needs only Qt Widgets, so that the least
// window of the main window's shape can be measured with the same yardstick.
namespace FirstFrame {

// Runs work once the window's first frame has gone to the screen, at the event loop's next
// turn: for work the first frame does not need and the user cannot miss. Call it before the
// window is shown.
void whenShown(QWidget *window, std::function<void()> work);

// For measuring start-up from outside: with TINLARK_REPORT_SHOWN set in the environment,
// prints "shown NS KB US" on standard output once the window's first frame is shown: the
// monotonic clock in nanoseconds, the peak memory in kilobytes and the processor time in
// microseconds then; set to "quit", then ends the program as the user would. Does nothing
// without it.
void reportIfAsked(QWidget *window);

} // namespace FirstFrame
