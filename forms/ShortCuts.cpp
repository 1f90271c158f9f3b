#include "ShortCuts.h"

namespace {

// The Qt key for a Windows virtual-key code, or 0 when there is none.
int qtKeyFor(int virtualKey)
{
    if (virtualKey >= 0x41 && virtualKey <= 0x5A) // letters: the code of the capital
        return Qt::Key_A + (virtualKey - 0x41);
    if (virtualKey >= 0x30 && virtualKey <= 0x39)
        return Qt::Key_0 + (virtualKey - 0x30);
    if (virtualKey >= 0x70 && virtualKey <= 0x87) // F1 to F24
        return Qt::Key_F1 + (virtualKey - 0x70);
    switch (virtualKey) {
    case 0x08: return Qt::Key_Backspace;
    case 0x09: return Qt::Key_Tab;
    case 0x0D: return Qt::Key_Return;
    case 0x1B: return Qt::Key_Escape;
    case 0x20: return Qt::Key_Space;
    case 0x21: return Qt::Key_PageUp;
    case 0x22: return Qt::Key_PageDown;
    case 0x23: return Qt::Key_End;
    case 0x24: return Qt::Key_Home;
    case 0x25: return Qt::Key_Left;
    case 0x26: return Qt::Key_Up;
    case 0x27: return Qt::Key_Right;
    case 0x28: return Qt::Key_Down;
    case 0x2D: return Qt::Key_Insert;
    case 0x2E: return Qt::Key_Delete;
    default: return 0;
    }
}

} // namespace

QList<QKeySequence> shortCutToKeySequences(int value)
{
    const int key = qtKeyFor(value & 0xFF);
    if (key == 0)
        return {};
    Qt::KeyboardModifiers modifiers;
    if (value & 0x2000)
        modifiers |= Qt::ShiftModifier;
    if (value & 0x4000)
        modifiers |= Qt::ControlModifier;
    if (value & 0x8000)
        modifiers |= Qt::AltModifier;
    QList<QKeySequence> sequences{QKeySequence(QKeyCombination(modifiers, Qt::Key(key)))};
    if (key == Qt::Key_Return)
        sequences.append(QKeySequence(QKeyCombination(modifiers | Qt::KeypadModifier, Qt::Key_Enter)));
    return sequences;
}
