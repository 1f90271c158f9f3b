#include "StoredAction.h"

#include "HintText.h"
#include "ImageLists.h"
#include "ShortCuts.h"

#include <QAction>

void applyStoredActionValues(QAction *action)
{
    action->setToolTip(HintText::shortPart(action->property("hint").toString()));
    action->setShortcuts(shortCutToKeySequences(action->property("shortCutValue").toInt()));
    action->setShortcutContext(Qt::WindowShortcut);
    const int imageIndex = action->property("imageIndex").toInt();
    if (imageIndex >= 0)
        action->setIcon(ImageLists::toolIcon(imageIndex));
}

void setStoredActionNote(QAction *action, const QString &note)
{
    static const char LayoutHint[] = "layoutHint";
    if (!action->property(LayoutHint).isValid())
        action->setProperty(LayoutHint, action->property("hint"));
    const QString hint = action->property(LayoutHint).toString();
    action->setProperty("hint", note.isEmpty() ? hint : QStringLiteral("%1. %2").arg(hint, note));
}
