#pragma once

class QAction;

// Gives an action from a stored layout its tool tip (the short part of its "hint"), its
// shortcut keys (from "shortCutValue", for the whole window) and its picture (from
// "imageIndex", none when negative).
void applyStoredActionValues(QAction *action);
