#pragma once

#include <QByteArrayView>
#include <QString>

// Text that came from a Windows program in 8 bits: UTF-8 when the bytes are valid UTF-8, and
// otherwise the Windows ANSI code page of Western Europe (Windows-1252), as a settings file
// copied from Windows holds it. Every byte decodes to some character, so nothing is dropped.
QString decodeUtf8OrWindows1252(QByteArrayView bytes);
