#pragma once

#include <QString>
#include <QVariantList>

// Fills a message template the way the program's texts are written: "%s" takes the next
// argument as text, "%d" as a decimal integer, "%%" stands for one '%'. Anything else
// after '%' is kept as it stands, and a directive without an argument left is kept too.
QString formatText(const QString &pattern, const QVariantList &arguments);
