#pragma once

class QWidget;

// Tells when a window has painted its first frame, for measuring start-up from outside: with
// TINLARK_REPORT_SHOWN set in the environment, prints "shown NS KB" on standard output, the
// monotonic clock in nanoseconds once the first frame has gone to the screen and the peak
// memory in kilobytes then; set to "quit", then ends the program as the user would. Does
// nothing without it. Needs only Qt Widgets, so that the least window of the same shape can
// be measured with the same yardstick.
namespace FirstFrameReport {

void watch(QWidget *window);

} // namespace FirstFrameReport
