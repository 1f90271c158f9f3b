#pragma once

#include <QProcessEnvironment>
#include <QString>

// Where the settings file and the default database live. A program whose folder can be
// written is portable: both lie beside the executable. An installed program (its folder
// belongs to the system) keeps them in the user's XDG folders instead:
// $XDG_CONFIG_HOME/tinlark/Tinlark.ini and $XDG_DATA_HOME/tinlark/Speeches.csp.
class FileLocations
{
public:
    static const QString SettingsFileName;    // "Tinlark.ini"
    static const QString DefaultDatabaseName; // "Speeches.csp"

    enum class Mode { Portable, Installed };
    // Portable when this user may create files in the executable's folder, unless it is the
    // folder the program is installed into (which root may write).
    static Mode modeFor(const QString &executableFolder);

    // The folder of the running executable, with a trailing separator, known also before the
    // application object exists.
    static QString runningExecutableFolder();

    // Decides for the running program, whose executable lies in executableFolder.
    explicit FileLocations(const QString &executableFolder);
    // The places for a mode; the environment gives XDG_CONFIG_HOME, XDG_DATA_HOME and HOME.
    FileLocations(const QString &executableFolder, Mode mode, const QProcessEnvironment &environment);

    bool isPortable() const { return m_portable; }
    QString settingsPath() const { return m_settingsFolder + SettingsFileName; }
    // The folder that the database name of the settings file is taken relative to, with a
    // trailing separator.
    QString dataFolder() const { return m_dataFolder; }
    // The database that the settings file's name stands for, joined to the data folder as
    // plain text.
    QString databasePath(const QString &databaseName) const { return m_dataFolder + databaseName; }

    // Makes the settings and data folders of an installed program, so that the first
    // settings written have a place to go. Returns false when a folder cannot be made.
    bool createFolders() const;

    // Makes an absolute folder and those on the way to it that are missing, with mode 0700.
    static bool makePrivateFolder(const QString &folder);

private:
    bool m_portable = true;
    QString m_settingsFolder;
    QString m_dataFolder;
};
