#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The questions and notices of the program's own additions (import, export, conversion):
// English captions, Qt's standard buttons, and the message shown as plain text, since it
// quotes file names and what the files hold.
namespace PlainQuestion {

// A message box of the given kind and buttons, not yet shown.
std::unique_ptr<QMessageBox> create(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
                                    QMessageBox::StandardButtons buttons);
// Asks a Yes/No question, No the default; true for Yes.
bool yes(QWidget *parent, const QString &title, const QString &text);
// Tells what was done, with an OK button.
void tell(QWidget *parent, const QString &title, const QString &text);

} // namespace PlainQuestion
