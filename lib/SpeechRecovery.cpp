#include "SpeechRecovery.h"

#include "NewPrivateFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <cerrno>

namespace SpeechRecovery {

namespace {

QString namePrefix(const QString &databasePath)
{
    return QFileInfo(databasePath).fileName() + QStringLiteral(".recovered-");
}

} // namespace

QString describe(const QString &databasePath, const Speech &speech, const QString &reason)
{
    return QStringLiteral("The Tinlark was ended while this speech was being edited, and the database refused to "
                          "store it:\n%1\n\nDatabase: %2\nSpeech: %3\nLanguage: %4\nKeywords: %5\n\n"
                          "----- Text -----\n%6\n----- Comments -----\n%7\n")
        .arg(reason, databasePath, speech.id ? QString::number(speech.id) : QStringLiteral("a new speech"),
             speech.language, speech.keywords, speech.text, speech.comments);
}

QString keep(const QString &databasePath, const QString &fallbackFolder, const Speech &speech, const QString &reason)
{
    const QByteArray content = describe(databasePath, speech, reason).toUtf8();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (const QString &folder : {QFileInfo(databasePath).absolutePath(), fallbackFolder}) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QString suffix = attempt ? QStringLiteral("-%1").arg(attempt) : QString();
            const QString path = QDir(folder).filePath(namePrefix(databasePath) + stamp + suffix + QStringLiteral(".txt"));
            // Whole or not at all, for the user's eyes only, never through what has the name.
            int error = 0;
            if (NewPrivateFile::write(path, content, &error))
                return path;
            if (error != EEXIST)
                break; // the folder cannot take it: try the next one
        }
    }
    return QString();
}

QStringList find(const QString &databasePath, const QString &fallbackFolder)
{
    QStringList found;
    // Matched by hand, not as a wildcard: the library's name may hold '*', '?' or '[', and
    // another library's name may differ from it in case only.
    const QString prefix = namePrefix(databasePath);
    const auto isRecoveryFile = [&prefix](const QString &name) {
        return name.startsWith(prefix) && name.endsWith(QLatin1String(".txt"));
    };
    for (const QString &folder : {QFileInfo(databasePath).absolutePath(), fallbackFolder}) {
        const QDir dir(folder);
        QStringList names = dir.entryList(QDir::Files, QDir::Name);
        names.removeIf([&isRecoveryFile](const QString &name) { return !isRecoveryFile(name); });
        for (const QString &name : names) {
            const QString path = QDir::cleanPath(dir.absoluteFilePath(name));
            if (!found.contains(path))
                found.append(path);
        }
    }
    return found;
}

} // namespace SpeechRecovery
