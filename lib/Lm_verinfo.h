#pragma once

// Reads the version record of an executable file.

#include "TLongVersion.h"
#include "TVersionCharSet.h"
#include "TVersionInfo.h"
#include "TVersionLanguage.h"

#include <QString>

// "a.b.c.d", each part an unsigned 16-bit decimal number.
QString LongVersionToString(const TLongVersion &Version);

// Reads up to four numbers separated by "." (or, where the rest holds no ".", by ","). A
// missing number repeats the last one, an empty one is 0, only the low 16 bits of each are
// kept, and anything after the fourth is ignored. A part that is no integer raises
// EConvertError "'<part>' is not a valid integer value".
TLongVersion StringToLongVersion(const QString &Text);

// Whether the module file may be replaced by one whose version number (first number in the
// high 16 bits, second in the low 16 bits) is VersionNum: true when the file has no readable
// version record or VersionNum is greater than its own.
bool OkToWriteModule(const QString &ModuleName, qint32 VersionNum);
