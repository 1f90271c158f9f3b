#pragma once

#include <QDialog>
#include <QPointer>

// The window of a message dialog, built in code by CreateMessageForm. It has no close box:
// it is left only through its buttons or the keys that press them.
class TMessageForm : public QDialog
{
    Q_OBJECT

public:
    // A form without content, in the system's message-box font.
    explicit TMessageForm(QWidget *owner = nullptr);

    int helpContext() const { return m_helpContext; }
    void setHelpContext(int helpContext) { m_helpContext = helpContext; }
    const QString &helpFile() const { return m_helpFile; }
    void setHelpFile(const QString &helpFile) { m_helpFile = helpFile; }

    // The control that has the focus when the form opens.
    QWidget *activeControl() const { return m_activeControl; }
    void setActiveControl(QWidget *control) { m_activeControl = control; }
    // Whether the form opens in the middle of the screen rather than where it was placed.
    void setScreenCentred(bool centred) { m_screenCentred = centred; }

    void FormShow();
    void HelpClick();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int m_helpContext = 0;
    QString m_helpFile;
    QPointer<QWidget> m_activeControl;
    bool m_screenCentred = false;
};
