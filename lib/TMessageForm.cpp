#include "TMessageForm.h"

#include "Lmutils.h"
#include "TApplication.h"
#include "TButton.h"

#include <QKeyEvent>
#include <QScreen>

TMessageForm::TMessageForm(QWidget *owner) : QDialog(owner)
{
    // The font the system uses for message boxes; the application's own when it names none.
    setFont(QApplication::font("QMessageBoxLabel"));
    DisableCloseButton(this);
}

void TMessageForm::FormShow()
{
    if (m_screenCentred) {
        if (QScreen *screen = this->screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->geometry().center());
            move(frame.topLeft());
        }
    }
    if (m_activeControl)
        m_activeControl->setFocus(Qt::ActiveWindowFocusReason);
    raise();
    activateWindow();
}

void TMessageForm::HelpClick()
{
    TApplication::instance()->helpContext(m_helpContext);
}

void TMessageForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TMessageForm::keyPressEvent(QKeyEvent *event)
{
    if (!event->matches(QKeySequence::Cancel)) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Esc presses the Cancel button; without one it does nothing (it never just closes).
    for (TButton *button : findChildren<TButton *>()) {
        if (button->cancel() && button->isVisible() && button->isEnabled()) {
            button->click();
            break;
        }
    }
    event->accept();
}
