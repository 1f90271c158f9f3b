#include "AccessibleNames.h"

#include "HintText.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

// "&Keywords: " reads as "Keywords".
QString labelName(const QString &caption)
{
    QString name = caption;
    name.remove(QLatin1Char('&'));
    name = name.trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.trimmed();
}

} // namespace

void nameControlsForScreenReaders(QWidget *window)
{
    for (const QLabel *label : window->findChildren<QLabel *>()) {
        QWidget *named = label->buddy();
        if (named && named->accessibleName().isEmpty())
            named->setAccessibleName(labelName(label->text()));
    }
    for (QWidget *control : window->findChildren<QWidget *>()) {
        const QString hint = control->property("hint").toString();
        if (control->accessibleName().isEmpty() && !hint.isEmpty())
            control->setAccessibleName(HintText::longPart(hint));
        // On Linux a combo box speaks its text as its name; its edit field carries the name.
        if (auto *combo = qobject_cast<QComboBox *>(control); combo && combo->lineEdit())
            combo->lineEdit()->setAccessibleName(combo->accessibleName());
    }
}
