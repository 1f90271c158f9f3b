#pragma once

#include <QProgressDialog>

// The progress of a long export, import or conversion: shown once the work takes longer than
// a moment, with Cancel. Each update lets the window's events through, so it never freezes.
class TransferProgressDialog
{
public:
    TransferProgressDialog(const QString &label, QWidget *parent);

    // Shows done of total; false once the user has pressed Cancel.
    bool update(qint64 done, qint64 total);

    // How long the work runs before its progress is shown, in milliseconds.
    static void setShowDelay(int milliseconds);

private:
    QProgressDialog m_dialog;
};
