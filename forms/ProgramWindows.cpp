#include "ProgramWindows.h"

#include "Mainfrm.h"
#include "Pickfrm.h"
#include "ProgramInstance.h"

ProgramWindows::ProgramWindows(TForm1 &form) : m_form(form)
{
}

ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::start(bool pick)
{
    if (!pick) {
        m_form.show();
        return;
    }
    m_form.showMinimized();
    openPicker();
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
    if (!m_picker)
        m_picker = std::make_unique<TPickForm>(m_form.Connection, [this] { return m_form.currentTaalId(); });
    m_picker->open();
}
