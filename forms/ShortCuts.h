#pragma once

#include <QKeySequence>
#include <QList>

// Turns a stored 16-bit shortcut value into key sequences: the low byte is the Windows
// virtual-key code, and 0x2000, 0x4000 and 0x8000 add Shift, Ctrl and Alt; 0 is none.
// Enter gives both the main and the keypad Enter key.
QList<QKeySequence> shortCutToKeySequences(int value);
