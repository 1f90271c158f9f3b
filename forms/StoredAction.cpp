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
