#pragma once

#include "Dlg.h"

class QLabel;
class QLineEdit;
namespace Ui {
class TLMFindDialog;
}

// Asks for the fragment of keywords to search for.
class TLMFindDialog : public TDialog
{
    Q_OBJECT

public:
    explicit TLMFindDialog(QWidget *owner);
    ~TLMFindDialog() override;

    QLabel *Label1;
    QLineEdit *Edit1;

private:
    std::unique_ptr<Ui::TLMFindDialog> m_ui;
};

// Clears text, then asks for a new one. Returns true when the user confirmed a text that
// is not empty; text then holds it exactly as typed.
bool ShowFindDialog(QWidget *owner, QString &text);
