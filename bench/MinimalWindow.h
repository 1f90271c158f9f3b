#pragma once

#include <QMainWindow>
#include <memory>

// The least Qt window of the main window's shape (menu bar, tool bar with a combo box, a line
// edit, two text edits in a splitter, a status bar), to compare start-up against.
std::unique_ptr<QMainWindow> minimalWindow();

// Shows that window in an application of its own and runs it; with TINLARK_REPORT_SHOWN set it
// tells when its first frame is painted, as the program does (see FirstFrame).
int runMinimalWindow(int argc, char *argv[]);
