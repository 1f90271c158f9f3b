#pragma once

#include <QProcessEnvironment>
#include <QString>

// Where the settings file and the default database live. A program whose folder can be
// written is portable: both lie beside the executable. An installed program (its folder
// belongs to the system) keeps them in the user's XDG folders instead:
// $XDG_CONFIG_HOME/tinlark/Tinlark.ini and $XDG_DATA_HOME/tinlark/Speeches.csp. A portable
// copy the user cannot write (a CD, a read-only share, another user's folder) still uses the
// library beside it (which then opens read-only); its settings, which cannot be written there,
// are kept in a folder of that copy's own under $XDG_CONFIG_HOME/tinlark/copies/, starting
// from those beside it.
class FileLocations
{
public:
    static const QString SettingsFileName;    // "Tinlark.ini"
    static const QString DefaultDatabaseName; // "Speeches.csp"

    enum class Mode { Portable, ReadOnlyCopy, Installed };
    // Portable when this user may create files in the executable's folder, unless it is the
    // folder the program is installed into (which root may write); a read-only copy when the
    // folder cannot be written but holds a library or a settings file.
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
    // settings written have a place to go; a read-only copy's settings folder starts with a
    // copy of the settings beside the program. Returns false when a folder cannot be made.
    bool createFolders() const;

    // Makes an absolute folder and those on the way to it that are missing, with mode 0700.
    static bool makePrivateFolder(const QString &folder);

private:
    bool m_portable = true;
    QString m_settingsFolder;
    QString m_dataFolder;
    QString m_settingsBeside; // a read-only copy: the settings file its own settings start from
};
