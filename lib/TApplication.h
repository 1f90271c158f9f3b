#pragma once

#include <QApplication>
#include <QString>
#include <functional>

class Exception;

// The application object: its title, the display of every failure that leaves an event
// handler, the current hint, and the folder of the running executable, beside which the
// settings file and the database lie.
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

signals:
    void hintChanged();

private:
    void showMessageBox(const QString &message);

    QString m_title;
    QString m_hint;
    QString m_executableFolder;
    std::function<void(const QString &)> m_exceptionDisplay;
};
