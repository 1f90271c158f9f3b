// The least Qt window of the main window's shape, in an executable of its own that needs Qt
// Widgets alone: what start-up to a painted window costs any Qt program on this machine.

#include "MinimalWindow.h"

int main(int argc, char *argv[])
{
    return runMinimalWindow(argc, argv);
}
