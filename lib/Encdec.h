#pragma once

#include <QByteArray>

// Keyless, reversible scrambling of short byte strings: the byte at position p (counted from
// 1) is shifted by 10 + p, modulo 256. The result has the length of the text; any byte, NUL
// included, may occur on either side.
QByteArray Encrypt(const QByteArray &Text);
QByteArray Decrypt(const QByteArray &Text);
