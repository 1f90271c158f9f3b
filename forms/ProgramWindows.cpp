#include "ProgramWindows.h"

#include "FileLocations.h"
#include "Mainfrm.h"
#include "Pickfrm.h"
#include "PickerReach.h"
#include "ProgramInstance.h"
#include "TApplication.h"

#include <QEvent>
#include <QTimer>

ProgramWindows::ProgramWindows(TForm1 &form)
    : m_form(form), m_reach(std::make_unique<PickerReach>(FileLocations(TApplication::instance()->executableFolder()).settingsPath(), [this] { openPicker(); }))
{
    m_form.setOutsideNotice(m_reach->notice());
}

ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::start(bool pick)
{
    if (!pick) {
        m_form.show();
        return;
    }
    openPicker();
    // Shown only now: a window mapped beside the picker may take the focus from it.
    m_picker->installEventFilter(this);
}

bool ProgramWindows::eventFilter(QObject *watched, QEvent *event)
{
    // A window manager may map a window as it likes at first (openbox ignores a start
    // minimized): minimized once it is there.
    if (event->type() == QEvent::Hide && !m_form.isVisible()) {
        m_form.show();
        QTimer::singleShot(0, &m_form, [this] { m_form.showMinimized(); });
    }
    return QObject::eventFilter(watched, event);
}

void ProgramWindows::answer(ProgramInstance &instance)
{
    connect(&instance, &ProgramInstance::activated, this, &ProgramWindows::showMainWindow);
    connect(&instance, &ProgramInstance::actionActivated, this, [this](const QString &action) {
        if (action == ProgramInstance::PickAction)
            openPicker();
        else
            showMainWindow();
    });
}

void ProgramWindows::showMainWindow()
{
    m_form.setWindowState((m_form.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_form.show();
    m_form.raise();
    m_form.activateWindow();
}

void ProgramWindows::openPicker()
{
    if (!m_picker) {
        m_picker = std::make_unique<TPickForm>(m_form.Connection, [this] { return m_form.currentTaalId(); });
        m_picker->setPastesAfterCopy(m_reach->pastesAfterCopy());
        connect(m_picker.get(), &TPickForm::copied, m_reach.get(), &PickerReach::pickerCopied);
    }
    if (!m_picker->isVisible()) {
        m_reach->pickerOpening();
        m_picker->setPastesIntoTerminal(m_reach->pastesIntoTerminal());
    }
    m_picker->open();
}
