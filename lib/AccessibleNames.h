#pragma once

class QWidget;

// Gives every control of a window that has no accessible name one, so that a screen reader
// says what the control is: the text of the label that names it, or else its hint (the
// long part). A control that speaks its changing text as its name (a combo box) keeps it
// and gets the hint as its description. Names set in the layout or in code are kept.
void nameControlsForScreenReaders(QWidget *window);
