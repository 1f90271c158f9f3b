#pragma once

#include "ModalResults.h"

#include <QDialog>
#include <memory>

class QFrame;
class QPushButton;
namespace Ui {
class TDialog;
}

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
