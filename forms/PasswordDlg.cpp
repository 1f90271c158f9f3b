#include "PasswordDlg.h"

#include "Keyring.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

QString questionFor(const QString &server, ServerPassword::Refused refused)
{
    switch (refused) {
    case ServerPassword::Refused::Nothing:
        break;
    case ServerPassword::Refused::Typed:
        return QStringLiteral("The server %1 did not accept that password. Type it again:").arg(server);
    case ServerPassword::Refused::Kept:
        return QStringLiteral("The server %1 did not accept the password kept in the desktop's keyring. Type the "
                              "right one:")
            .arg(server);
    }
    return QStringLiteral("The server %1 asks for a password:").arg(server);
}

QString keepText(ServerPassword::Refused refused)
{
    if (!Keyring::available())
        return QStringLiteral("&Keep it in the desktop's keyring (%1)").arg(Keyring::whyUnavailable());
    if (refused == ServerPassword::Refused::Kept)
        return QStringLiteral("&Keep it in the desktop's keyring in place of the refused one (unticked, that one is "
                              "removed)");
    return QStringLiteral("&Keep it in the desktop's keyring");
}

} // namespace

std::optional<ServerPassword::Answer> askServerPassword(const QString &server, ServerPassword::Refused refused)
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("PasswordDlg"));
    dialog.setWindowTitle(QStringLiteral("Password"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *question = new QLabel(questionFor(server, refused), &dialog);
    question->setTextFormat(Qt::PlainText); // the server's name is the server's, not the program's
    question->setWordWrap(true);
    // Wide enough that a server's name is seldom broken over lines.
    question->setMinimumWidth(question->fontMetrics().averageCharWidth() * 60);
    layout->addWidget(question);
    auto *field = new QLineEdit(&dialog);
    field->setObjectName(QStringLiteral("edtPassword"));
    field->setEchoMode(QLineEdit::Password);
    field->setAccessibleName(QStringLiteral("Password"));
    question->setBuddy(field);
    layout->addWidget(field);
    auto *keep = new QCheckBox(keepText(refused), &dialog);
    keep->setObjectName(QStringLiteral("chkKeep"));
    keep->setEnabled(Keyring::available());
    // The right password then replaces the refused one, or every start would try that again.
    keep->setChecked(refused == ServerPassword::Refused::Kept);
    layout->addWidget(keep);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    field->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    // Kept only once the server accepted it: a mistyped one would be tried at every start.
    return ServerPassword::Answer{field->text().toUtf8(), keep->isChecked() && keep->isEnabled()};
}
