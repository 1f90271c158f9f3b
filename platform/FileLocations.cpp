#include "FileLocations.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

const QString FileLocations::SettingsFileName = QStringLiteral("Tinlark.ini");
const QString FileLocations::DefaultDatabaseName = QStringLiteral("Speeches.csp");

namespace {

const QString ProgramFolderName = QStringLiteral("tinlark/");

QString withSeparator(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// An XDG base folder: the variable when it holds an absolute path (the XDG rules say to
// ignore a relative one), else the fallback under the home folder.
QString xdgFolder(const QProcessEnvironment &environment, const QString &variable, const QString &fallback)
{
    const QString value = environment.value(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return withSeparator(value);
    QString home = environment.value(QStringLiteral("HOME"));
    if (home.isEmpty())
        home = QDir::homePath();
    return withSeparator(home) + fallback;
}

// The variables the folders follow, read alone: a copy of the whole environment costs more
// than the rest of the work here, and the program asks where its files are at every start.
QProcessEnvironment baseFolderVariables()
{
    QProcessEnvironment environment;
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME"})
        if (qEnvironmentVariableIsSet(name))
            environment.insert(QString::fromLatin1(name), qEnvironmentVariable(name));
    return environment;
}

} // namespace

FileLocations::Mode FileLocations::modeFor(const QString &executableFolder)
{
    // Root may write into the folder the program was installed into; it stays installed.
    const QString installed = QFileInfo(QStringLiteral(TINLARK_INSTALL_BINDIR)).canonicalFilePath();
    if (!installed.isEmpty() && QFileInfo(executableFolder).canonicalFilePath() == installed)
        return Mode::Installed;
    // A read-only file system says no even to root.
    if (::access(QFile::encodeName(executableFolder).constData(), W_OK | X_OK) == 0)
        return Mode::Portable;
    const QDir folder(executableFolder);
    const bool holdsItsOwn = folder.exists(DefaultDatabaseName) || folder.exists(SettingsFileName);
    return holdsItsOwn ? Mode::ReadOnlyCopy : Mode::Installed;
}

FileLocations::FileLocations(const QString &executableFolder)
    : FileLocations(executableFolder, modeFor(executableFolder), baseFolderVariables())
{
}

FileLocations::FileLocations(const QString &executableFolder, Mode mode, const QProcessEnvironment &environment)
{
    const QString folder = withSeparator(QDir::fromNativeSeparators(executableFolder));
    m_portable = mode != Mode::Installed;
    const QString configFolder =
        xdgFolder(environment, QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral(".config/")) + ProgramFolderName;
    if (mode == Mode::ReadOnlyCopy) {
        // Each copy its own settings: two copies, or a copy and the installed program, may
        // name different libraries.
        const QByteArray copy = QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256);
        m_settingsFolder = configFolder + QStringLiteral("copies/") + QString::fromLatin1(copy.toHex().left(16)) + QLatin1Char('/');
        m_settingsBeside = folder + SettingsFileName;
        m_dataFolder = folder;
        return;
    }
    if (m_portable) {
        m_settingsFolder = folder;
        m_dataFolder = folder;
        return;
    }
    m_settingsFolder = configFolder;
    m_dataFolder = xdgFolder(environment, QStringLiteral("XDG_DATA_HOME"), QStringLiteral(".local/share/")) + ProgramFolderName;
}

bool FileLocations::createFolders() const
{
    if (!m_settingsBeside.isEmpty()) {
        if (!makePrivateFolder(m_settingsFolder))
            return false;
        // Once: from then on the settings kept here are the copy's own.
        if (QFileInfo::exists(settingsPath()) || !QFileInfo::exists(m_settingsBeside))
            return true;
        return QFile::copy(m_settingsBeside, settingsPath()) &&
               QFile::setPermissions(settingsPath(), QFile::ReadOwner | QFile::WriteOwner);
    }
    if (m_portable)
        return true;
    return makePrivateFolder(m_settingsFolder) && makePrivateFolder(m_dataFolder);
}

bool FileLocations::makePrivateFolder(const QString &folder)
{
    // Each folder made on the way is the user's alone, as the XDG rules ask of the base
    // folders; folders that exist are left as they are.
    const QStringList parts = QDir::cleanPath(folder).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path;
    for (const QString &part : parts) {
        path += QLatin1Char('/') + part;
        if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return QFileInfo(folder).isDir();
}

QString FileLocations::runningExecutableFolder()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QLatin1Char('/');
}
