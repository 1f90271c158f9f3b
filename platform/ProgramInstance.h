#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

class ApplicationAdaptor;
class QDBusConnection;

// One running program per settings file. The first start owns a name on the session bus made
// from the desktop entry's id and the settings file; a later start with the same settings
// file hands its request to that one and ends. Programs with other settings run side by side,
// and without a session bus every start runs on its own.
class ProgramInstance : public QObject
{
    Q_OBJECT

public:
    static const QString DesktopId; // "io.github.tinlark.Tinlark"
    static const QString PickAction; // "pick": the desktop entry's action that opens the picker

    explicit ProgramInstance(const QString &settingsPath, QObject *parent = nullptr);
    ~ProgramInstance() override;

    // The bus name for a settings file: the same for every spelling of one file's path.
    static QString serviceName(const QString &settingsPath);
    // The object path a desktop derives from a bus name.
    static QString objectPath(const QString &serviceName);

    // Hands the start over to the program that already runs with these settings: an empty
    // action shows it, another runs that action. True when it took it; false when this start
    // is the one that runs (it then answers later starts), and when no bus can be reached.
    bool handOver(const QString &action);
    // The same hand-over to a program that already runs, made before the application object
    // exists, so that a start that only hands over costs little; false when none takes it.
    bool handOverEarly(const QString &action);

signals:
    void activated(const QVariantMap &platformData);
    void actionActivated(const QString &actionName, const QVariantMap &platformData);

private:
    bool registerHere();
    bool callRunning(QDBusConnection &bus, const QString &action);

    QString m_serviceName;
    ApplicationAdaptor *m_adaptor = nullptr;
    bool m_registered = false;
};
