#include "Finddlg.h"
#include "ui_Finddlg.h"

#include "FontScale.h"

#include <QLineEdit>
#include <QPushButton>

TLMFindDialog::TLMFindDialog(QWidget *owner) : TDialog(owner), m_ui(std::make_unique<Ui::TLMFindDialog>())
{
    m_ui->setupUi(this);
    applyLayout();
    FontScale::growWindow(this); // its texts show whole in the font in use
    Label1 = m_ui->Label1;
    Edit1 = m_ui->Edit1;
    setTabOrder(btnOk, btnCancel);
    setTabOrder(btnCancel, Edit1);
    Edit1->setFocus();
}

TLMFindDialog::~TLMFindDialog() = default;

bool ShowFindDialog(QWidget *owner, QString &text)
{
    text.clear();
    TLMFindDialog dialog(owner);
    const int result = dialog.exec();
    if (result != mrOk)
        return false;
    text = dialog.Edit1->text();
    return !text.isEmpty();
}
