#include "KeyNames.h"

#include <cstring>

QString KeyNames::translate(const char *context, const char *sourceText, const char *, int) const
{
    // The toolkit looks its key names up in this context when it shows a shortcut.
    if (!context || !sourceText || std::strcmp(context, "QShortcut") != 0)
        return QString();
    static const std::pair<const char *, const char *> renamed[] = {
        {"PgDown", "PgDn"},
        {"Return", "Enter"},
    };
    for (const auto &[toolkitName, ownName] : renamed) {
        if (std::strcmp(sourceText, toolkitName) == 0)
            return QString::fromLatin1(ownName);
    }
    return QString();
}
