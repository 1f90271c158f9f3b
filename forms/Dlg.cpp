#include "Dlg.h"
#include "ui_Dlg.h"

#include "AccessibleNames.h"

#include <QKeyEvent>

TDialog::TDialog(QWidget *owner) : QDialog(owner), m_base(std::make_unique<Ui::TDialog>())
{
    m_base->setupUi(this);
    Bevel1 = m_base->Bevel1;
    btnOk = m_base->btnOk;
    btnCancel = m_base->btnCancel;
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    for (QPushButton *button : {btnOk, btnCancel})
        connect(button, &QPushButton::clicked, this, [this, button] { done(button->property("modalResult").toInt()); });
}

TDialog::~TDialog() = default;

void TDialog::applyLayout()
{
    // The base layout named the window after itself; a derived dialog goes by the name it
    // gave itself, or else by its class name.
    if (objectName() == QLatin1String("TDialog"))
        setObjectName(QString::fromLatin1(metaObject()->className()));
    if (property("bevelTop").isValid())
        Bevel1->move(Bevel1->x(), property("bevelTop").toInt());
    if (property("bevelWidth").isValid())
        Bevel1->resize(property("bevelWidth").toInt(), Bevel1->height());
    if (property("okPosition").isValid())
        btnOk->move(property("okPosition").toPoint());
    if (property("cancelPosition").isValid())
        btnCancel->move(property("cancelPosition").toPoint());
    if (property("cancelVisible").isValid())
        btnCancel->setVisible(property("cancelVisible").toBool());
    if (property("cancelModalResult").isValid())
        btnCancel->setProperty("modalResult", property("cancelModalResult"));
    setFixedSize(size());
    nameControlsForScreenReaders(this);
}

void TDialog::keyPressEvent(QKeyEvent *event)
{
    // Esc answers through a visible Cancel button only.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (btnCancel->isVisibleTo(this) && btnCancel->isEnabled())
            btnCancel->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TDialog::reject()
{
    // The close box and the system menu answer as Cancel does.
    done(mrCancel);
}
