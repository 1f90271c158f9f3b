#pragma once

#include "HiddenWindow.h"

#include <QApplication>
#include <QString>
#include <functional>

class Exception;

// The application object: its title, the display of every failure that leaves an event
// handler, the current hint, the hidden window, and the folder of the running executable,
// beside which the settings file and the database lie.
class TApplication : public QApplication
{
    Q_OBJECT

public:
    TApplication(int &argc, char **argv);
    ~TApplication() override;

    static TApplication *instance();

    const QString &title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }

    // Failures that leave an event handler are shown and the program carries on.
    bool notify(QObject *receiver, QEvent *event) override;
    // Shows a failure: a message box titled with the title, with the stop icon and one OK
    // button. The silent abort shows nothing.
    void showException(const std::exception &exception);
    // What shows a message; tests put a recorder here instead of a modal box.
    void setExceptionDisplay(std::function<void(const QString &message)> display);
    // A non-empty message whose last character comes after '.' gets a full stop.
    static QString withFullStop(const QString &message);

    // The long hint of whatever the user points at; hintChanged is raised only on a change.
    const QString &hint() const { return m_hint; }
    void setHint(const QString &hint);

    // The executable's folder with a trailing separator. Tests name a folder of their own.
    QString executableFolder() const;
    void setExecutableFolder(const QString &folder) { m_executableFolder = folder; }
    // The full path of the running executable, taken to lie in the executable's folder.
    QString exeName() const;

    // The hidden window that takes the messages sent to the application as a whole.
    HiddenWindow *hiddenWindow() { return &m_hiddenWindow; }

    // Ends the program the way the user would: every window is asked to close (dialogs
    // first, so that they answer Cancel; the main window then stores what is being
    // edited), and every running event loop ends, modal ones included. A loop started
    // afterwards returns at once, and terminated() tells the entry function not to start one.
    void terminate();
    bool terminated() const { return m_terminated; }

    // Asks for help on a help context; the program has no help file, so this only tells
    // whoever listens.
    void helpContext(int context) { emit helpRequested(context); }

signals:
    void hintChanged();
    void helpRequested(int context);

private:
    void showMessageBox(const QString &message);

    QString m_title;
    QString m_hint;
    QString m_executableFolder;
    std::function<void(const QString &)> m_exceptionDisplay;
    HiddenWindow m_hiddenWindow;
    bool m_terminated = false;
};
