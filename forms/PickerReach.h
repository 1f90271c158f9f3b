#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class X11GlobalKey;
class X11Paste;

// How the picker is reached from any program on an X11 desktop, as the settings file asks
// ([Picker] GlobalKey= and PasteAfterCopy=, both off unless set): a key of the program's own
// that opens it, and a paste into the window the user came from once it has copied. Elsewhere
// (Wayland) neither: the desktop's own shortcut starts `tinlark --pick`, the user pastes.
class PickerReach : public QObject
{
    Q_OBJECT

public:
    PickerReach(const QString &settingsPath, std::function<void()> openPicker);
    ~PickerReach() override;

    // What the user should know about the key: it could not be taken, and why; empty when all is well.
    const QString &notice() const { return m_notice; }
    bool pastesAfterCopy() const { return m_paste != nullptr; }
    // Whether the paste after a copy goes into a terminal (known once the picker is opening).
    bool pastesIntoTerminal() const;

    // The picker is about to take the focus: the window that has it now is where to paste.
    void pickerOpening();
    // The picker has copied and closed: paste into that window.
    void pickerCopied();

private:
    void takeKey(const QString &keyText);

    std::unique_ptr<X11GlobalKey> m_key;
    std::unique_ptr<X11Paste> m_paste;
    std::function<void()> m_openPicker;
    QString m_notice;
};
