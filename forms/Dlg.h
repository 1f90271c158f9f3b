#pragma once

#include <QDialog>
#include <memory>

class QFrame;
class QPushButton;
namespace Ui {
class TDialog;
}

// Modal results, numbered as callers compare them.
enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                   mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10 };

// The base of the program's dialogs: a fixed-size frame centred over its owner, a line
// above the button row, and OK (Enter) and Cancel (Esc) buttons answering their modal
// results. The close box answers Cancel. A derived dialog first builds this base, then its
// own stored layout, which holds its controls and, as properties of the dialog, where the
// line and the buttons go: bevelTop, bevelWidth, okPosition, cancelPosition, cancelVisible.
class TDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TDialog(QWidget *owner);
    ~TDialog() override;

    QFrame *Bevel1;
    QPushButton *btnOk;
    QPushButton *btnCancel;

protected:
    // Applies a derived layout's differences and fixes the size; derived constructors call
    // it after building their own layout.
    void applyLayout();
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;

private:
    std::unique_ptr<Ui::TDialog> m_base;
};
