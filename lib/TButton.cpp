#include "TButton.h"

#include <QDialog>

TButton::TButton(QWidget *parent) : QPushButton(parent)
{
    connect(this, &QPushButton::clicked, this, &TButton::endDialog);
}

void TButton::endDialog()
{
    if (m_modalResult == 0)
        return;
    if (auto *dialog = qobject_cast<QDialog *>(window()))
        dialog->done(m_modalResult);
}
