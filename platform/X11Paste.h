#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

struct _XDisplay;

// Pastes into the window the user worked in: remembered before a window of the program takes
// the focus, given the focus back later, and sent Ctrl+V (Ctrl+Shift+V in a terminal) through
// XTest once it really has the focus again.
class X11Paste : public QObject
{
    Q_OBJECT

public:
    explicit X11Paste(_XDisplay *display, QObject *parent = nullptr);

    // Remembers the window that has the focus now.
    void rememberFocus();
    // Whether the remembered window is a terminal's, told by its class (WM_CLASS).
    bool rememberedIsTerminal() const { return m_rememberedTerminal; }
    // Gives the remembered window the focus back and pastes into it; nothing when no window was
    // remembered or it has not got the focus back within half a second. pasted tells which.
    void pasteIntoRemembered();

signals:
    void pasted(bool done);

private:
    unsigned long activeWindow() const;
    unsigned long windowWithClass(unsigned long window, QStringList *classNames = nullptr) const;
    bool hasFocus(unsigned long window) const;
    bool sendPasteKeys(bool terminal); // false when XTest cannot be loaded
    void checkFocus();

    _XDisplay *m_display;
    unsigned long m_remembered = 0;
    bool m_rememberedTerminal = false;
    QTimer m_focusCheck;
    int m_checksLeft = 0;
};
