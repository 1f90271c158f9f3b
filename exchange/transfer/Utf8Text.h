#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace Utf8Text {

// The largest value a file may hold, so that a file of any size (an unclosed quote in a file
// of gigabytes) is refused instead of filling the memory.
constexpr qsizetype MaxValueBytes = qsizetype(64) << 20;

// The text of strictly valid UTF-8 bytes (no overlong forms, no surrogates); none otherwise.
std::optional<QString> decode(const QByteArray &bytes);

// Characters as the database counts them: code points.
qsizetype codePoints(const QString &text);

} // namespace Utf8Text
