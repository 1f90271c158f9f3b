#include "ShortcutFirstFilter.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

ShortcutFirstFilter::ShortcutFirstFilter(QWidget *window, QList<QAction *> actions)
    : QObject(window), m_window(window), m_actions(std::move(actions))
{
}

bool ShortcutFirstFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QAction *action : m_actions) {
        if (!action->isEnabled())
            continue;
        for (const QKeySequence &shortcut : action->shortcuts()) {
            // Swallowing the override without accepting it lets the shortcut run.
            if (shortcut.matches(pressed) == QKeySequence::ExactMatch)
                return true;
        }
    }
    return false;
}
