#include "PlainQuestion.h"

namespace PlainQuestion {

std::unique_ptr<QMessageBox> create(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
                                    QMessageBox::StandardButtons buttons)
{
    auto box = std::make_unique<QMessageBox>(icon, title, text, buttons, parent);
    box->setTextFormat(Qt::PlainText);
    return box;
}

bool yes(QWidget *parent, const QString &title, const QString &text)
{
    const auto box = create(parent, QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(QMessageBox::No);
    return box->exec() == QMessageBox::Yes;
}

void tell(QWidget *parent, const QString &title, const QString &text)
{
    create(parent, QMessageBox::Information, title, text, QMessageBox::Ok)->exec();
}

} // namespace PlainQuestion
