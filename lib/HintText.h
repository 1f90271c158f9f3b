#pragma once

#include <QString>

// A hint is a short part, a vertical bar and a long part ("Find|Find keywords"); without a
// bar both parts are the whole text. The first bar is the one that counts.
namespace HintText {

QString shortPart(const QString &hint);
QString longPart(const QString &hint);

} // namespace HintText
