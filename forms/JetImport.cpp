#include "JetImport.h"

#include "EAbort.h"
#include "EDatabaseError.h"
#include "FileMoves.h"
#include "JetConverter.h"
#include "JetDatabase.h"
#include "PlainQuestion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

int progressDelayMs = 500; // "longer than a moment"

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

void JetImport::setProgressDelay(int milliseconds)
{
    progressDelayMs = milliseconds;
}

QString JetImport::firstFreeName(const QString &base)
{
    QString name = base;
    for (int number = 1; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++number)
        name = base + QLatin1Char('.') + QString::number(number);
    return name;
}

void JetImport::offerConversion(const QString &databasePath, QWidget *parent)
{
    switch (jetFormatOfFile(databasePath)) {
    case JetFormat::NotJet:
        return;
    case JetFormat::Accdb:
        JetDatabase{databasePath}; // refuses the file with the reason
        return;
    case JetFormat::Jet3:
    case JetFormat::Jet4:
        break;
    }
    const QString question =
        QStringLiteral("The speech database %1 is a Microsoft Access database.\n\n"
                       "Convert it into a database of The Tinlark? The original is kept, unchanged, as %2.")
            .arg(shown(databasePath), QFileInfo(firstFreeName(databasePath + QStringLiteral(".jet"))).fileName());
    if (!PlainQuestion::yes(parent, QStringLiteral("Convert the speech database"), question))
        throw EAbort();

    const QString convertedPath = firstFreeName(databasePath + QStringLiteral(".converted"));
    {
        QProgressDialog progress(QStringLiteral("Converting %1...").arg(shown(databasePath)), QStringLiteral("Cancel"), 0,
                                 0, parent);
        progress.setWindowTitle(QStringLiteral("The Tinlark"));
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(progressDelayMs);
        progress.setAutoReset(false);
        JetConverter::convert(databasePath, convertedPath, [&progress](qint64 done, qint64 total) {
            progress.setMaximum(int(total));
            progress.setValue(int(done));
            return !progress.wasCanceled();
        });
    }
    putInPlace(databasePath, convertedPath);
}

// The original gets its second name first, so that the database's own name always names a
// whole file: the Jet file until the one rename that puts the converted file there.
void JetImport::putInPlace(const QString &databasePath, const QString &convertedPath)
{
    QString keptPath;
    bool renamed = false;
    for (int error = EEXIST; error != 0;) {
        keptPath = firstFreeName(databasePath + QStringLiteral(".jet"));
        error = FileMoves::keepUnderSecondName(databasePath, keptPath, &renamed);
        if (error != 0 && error != EEXIST) {
            QFile::remove(convertedPath);
            throw EDatabaseError(QStringLiteral("Cannot keep the original of %1 as %2: %3")
                                     .arg(shown(databasePath), shown(keptPath), systemError(error)));
        }
    }
    if (std::rename(QFile::encodeName(convertedPath).constData(), QFile::encodeName(databasePath).constData()) != 0) {
        const int error = errno;
        if (renamed)
            std::rename(QFile::encodeName(keptPath).constData(), QFile::encodeName(databasePath).constData());
        else
            QFile::remove(keptPath);
        QFile::remove(convertedPath);
        throw EDatabaseError(QStringLiteral("Cannot put the converted database in place of %1: %2")
                                 .arg(shown(databasePath), systemError(error)));
    }
    FileMoves::syncFolderOf(databasePath);
}
