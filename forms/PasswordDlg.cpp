#include "PasswordDlg.h"

#include "Keyring.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

std::optional<QByteArray> askServerPassword(const QString &server, bool refused)
{
    // A password kept in the keyring is tried first, the user asked only when it is refused.
    if (!refused) {
        if (std::optional<QByteArray> kept = Keyring::find(server))
            return kept;
    }
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
    auto *keep = new QCheckBox(Keyring::available() ? QStringLiteral("&Keep it in the desktop's keyring")
                                                    : QStringLiteral("&Keep it in the desktop's keyring (none is running here)"),
                               &dialog);
    keep->setObjectName(QStringLiteral("chkKeep"));
    keep->setEnabled(Keyring::available());
    layout->addWidget(keep);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    field->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QByteArray password = field->text().toUtf8();
    // A keyring that cannot keep it leaves it not kept: the next start asks again.
    if (keep->isChecked())
        Keyring::keep(server, password);
    return password;
}
