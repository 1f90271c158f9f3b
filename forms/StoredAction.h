#pragma once

class QAction;
class QString;

// Gives an action from a stored layout its tool tip (the short part of its "hint"), its
// shortcut keys (from "shortCutValue", for the whole window) and its picture (from
// "imageIndex", none when negative).
void applyStoredActionValues(QAction *action);

// Adds a sentence to the action's long hint, such as why it cannot act now; an empty note gives
// the action back its own hint.
void setStoredActionNote(QAction *action, const QString &note);
