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
        if (hint.isEmpty())
            continue;
        const QString word = HintText::longPart(hint);
        // A combo box speaks its current text as its name: the hint only describes it, and
        // its edit field carries the name.
        if (auto *combo = qobject_cast<QComboBox *>(control)) {
            if (combo->accessibleDescription().isEmpty())
                combo->setAccessibleDescription(word);
            if (combo->lineEdit() && combo->lineEdit()->accessibleName().isEmpty())
                combo->lineEdit()->setAccessibleName(word);
        } else if (control->accessibleName().isEmpty()) {
            control->setAccessibleName(word);
        }
    }
}
