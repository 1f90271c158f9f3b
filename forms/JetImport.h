#pragma once

#include <QString>

class QWidget;

// Brings a speech database of the Access era in at start-up: the user's Speeches.csp from
// Windows is a Jet file, which the program offers to convert into its own kind.
class JetImport
{
public:
    // When the file at databasePath is an Access database, asks whether to convert it. Yes
    // converts it beside itself, keeps the original under a name that says what it is
    // (NAME.jet, or NAME.jet.1 and so on when that is taken) and puts the converted file in
    // its place in one rename; then it returns as it does for any other file. No, or a cancel
    // while the conversion runs, raises EAbort and leaves the file as it was; a failed
    // conversion raises its error and leaves the file as it was too.
    static void offerConversion(const QString &databasePath, QWidget *parent);

    // How long a conversion runs before its progress is shown, in milliseconds.
    static void setProgressDelay(int milliseconds);

private:
    static QString firstFreeName(const QString &base);
    static void putInPlace(const QString &databasePath, const QString &convertedPath);
};
