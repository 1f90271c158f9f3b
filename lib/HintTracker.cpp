#include "HintTracker.h"

#include "HintText.h"
#include "TApplication.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QToolButton>

HintTracker::HintTracker(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
    // A timer of no delay fires once the events waiting now are handled: when the
    // program is idle again after the mouse moved.
    m_idle.setSingleShot(true);
    m_idle.setInterval(0);
    connect(&m_idle, &QTimer::timeout, this, &HintTracker::updateFromMouse);
}

QString HintTracker::hintFor(const QWidget *widget)
{
    for (; widget; widget = widget->parentWidget()) {
        QString hint = widget->property("hint").toString();
        if (hint.isEmpty()) {
            if (const auto *button = qobject_cast<const QToolButton *>(widget); button && button->defaultAction())
                hint = button->defaultAction()->property("hint").toString();
        }
        if (!hint.isEmpty())
            return HintText::longPart(hint);
    }
    return QString();
}

bool HintTracker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Leave) {
        if (auto *menu = qobject_cast<QMenu *>(watched))
            checkMenuHighlight(menu);
    }
    switch (event->type()) {
    case QEvent::Enter:
        // Entering a control enters its parents first: the last one entered is under the mouse.
        if (auto *widget = qobject_cast<QWidget *>(watched)) {
            m_underMouse = widget;
            m_mouseMoved = true;
            m_idle.start();
        }
        break;
    case QEvent::Leave:
        // Leaving a control for its parent enters nothing new.
        if (watched == m_underMouse) {
            m_underMouse = m_underMouse->parentWidget();
            m_mouseMoved = true;
            m_idle.start();
        }
        break;
    case QEvent::Show:
        if (auto *menu = qobject_cast<QMenu *>(watched))
            followMenu(menu);
        break;
    default:
        break;
    }
    return false;
}

void HintTracker::followMenu(QMenu *menu)
{
    if (menu->property("hintFollowed").toBool())
        return;
    menu->setProperty("hintFollowed", true);
    connect(menu, &QMenu::hovered, this, [](QAction *action) {
        TApplication::instance()->setHint(HintText::longPart(action->property("hint").toString()));
    });
    connect(menu, &QMenu::aboutToHide, this, [] { TApplication::instance()->setHint(QString()); });
}

// Once the menu has handled the mouse: a highlight that left the items (for a separator,
// or out of the menu) leaves nothing to explain. A disabled item, which the menu does not
// highlight, is explained all the same while the mouse rests on it.
void HintTracker::checkMenuHighlight(QMenu *menu)
{
    QMetaObject::invokeMethod(
        this,
        [menu = QPointer<QMenu>(menu)] {
            if (!menu || !menu->isVisible())
                return;
            const QAction *item = menu->activeAction();
            if (!item)
                item = menu->actionAt(menu->mapFromGlobal(QCursor::pos()));
            TApplication::instance()->setHint(item && !item->isSeparator()
                                                  ? HintText::longPart(item->property("hint").toString())
                                                  : QString());
        },
        Qt::QueuedConnection);
}

void HintTracker::updateFromMouse()
{
    if (!m_mouseMoved)
        return;
    m_mouseMoved = false;
    // While a menu is open its highlighted item speaks.
    if (QApplication::activePopupWidget())
        return;
    TApplication::instance()->setHint(m_underMouse ? hintFor(m_underMouse) : QString());
}
