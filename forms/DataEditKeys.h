#pragma once

class QKeyEvent;

namespace DataEditKeys {

// Whether a key press would change the text of an edit control: a printable character,
// Backspace, Delete, Enter in a memo, or one of the cut, paste, undo and redo keys.
bool changesText(const QKeyEvent *event);

} // namespace DataEditKeys
