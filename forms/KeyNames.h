#pragma once

#include <QTranslator>

// Names the keys of shortcut texts as the program's menus show them ("PgDn", "Enter")
// where the toolkit's own names differ ("PgDown", "Return"). Installed on the application,
// it renames the keys in every shortcut text shown to the user; it takes itself off again
// when it is destroyed.
class KeyNames : public QTranslator
{
    Q_OBJECT

public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};
