#include "PasswordDlg.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

std::optional<QByteArray> askServerPassword(const QString &server, bool refused)
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("PasswordDlg"));
    dialog.setWindowTitle(QStringLiteral("Password"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *question = new QLabel(
        (refused ? QStringLiteral("The %1 did not accept that password. Type it again:")
                 : QStringLiteral("The %1 asks for a password:"))
            .arg(server),
        &dialog);
    question->setWordWrap(true);
    layout->addWidget(question);
    auto *field = new QLineEdit(&dialog);
    field->setObjectName(QStringLiteral("edtPassword"));
    field->setEchoMode(QLineEdit::Password);
    field->setAccessibleName(QStringLiteral("Password"));
    question->setBuddy(field);
    layout->addWidget(field);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    field->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return field->text().toUtf8();
}
