#pragma once

#include <QString>

// The integer that text stands for: leading blanks, an optional sign, then decimal digits or,
// after "$" or "0x", hexadecimal ones, and nothing after them. A decimal number must fit in a
// signed 32-bit integer; a hexadecimal one may use all 32 bits. Anything else raises
// EConvertError "'<text>' is not a valid integer value".
qint32 strToInt(const QString &text);
